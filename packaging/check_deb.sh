#!/bin/sh
# Builds the .deb, unpacks it into a scratch root and checks that the program,
# icon and metadata are where the .desktop file and the AppStream data say.
set -eu
build=$1
app=$2
cd "$build"
cpack -G DEB >/dev/null
deb=$(ls -t mirvane_*.deb | head -n 1)
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
test -f "$root/usr/share/metainfo/$app.metainfo.xml" || { echo "no AppStream data"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libqt6widgets6*) ;;
  *) echo "Depends does not name Qt's widgets library: $depends"; exit 1 ;;
esac
echo "$deb: $exec_name, $icon_name.png and AppStream data in place; Depends: $depends"
