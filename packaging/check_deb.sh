#!/bin/sh
# Unpacks the .deb into a scratch root and checks that the program, icon and
# metadata are where the .desktop file and the AppStream data say, and that
# the package, its AppStream release, changelog and manual page all carry the
# project's version.
set -eu
deb=$1
app=$2
version=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop="$root/usr/share/applications/$app.desktop"
test -f "$desktop" || { echo "missing $desktop"; exit 1; }
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
test -x "$root/usr/bin/$exec_name" || { echo "Exec=$exec_name is not in /usr/bin"; exit 1; }
test -f "$root/usr/share/icons/hicolor/32x32/apps/$icon_name.png" ||
  { echo "Icon=$icon_name is not in the hicolor theme"; exit 1; }
metainfo="$root/usr/share/metainfo/$app.metainfo.xml"
test -f "$metainfo" || { echo "no AppStream data"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libqt6widgets6*) ;;
  *) echo "Depends does not name Qt's widgets library: $depends"; exit 1 ;;
esac

same() { [ "$2" = "$version" ] || { echo "$1 says '$2', the project $version"; exit 1; }; }
same "the package" "$(dpkg-deb -f "$deb" Version)"
same "the AppStream release" "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
same "the changelog" "$(zcat "$root/usr/share/doc/mirvane/changelog.gz" | sed -n '1s/^mirvane (\([^)]*\)).*/\1/p')"
same "the manual page" "$(zcat "$root/usr/share/man/man1/mirvane.1.gz" | sed -n 's/^\.TH .*"Mirvane \([^"]*\)".*/\1/p')"
echo "$deb: $exec_name, $icon_name.png and AppStream data in place; version $version throughout; Depends: $depends"
