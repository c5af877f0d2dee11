#!/bin/sh
# How long Mirvane.exe takes under Wine from its start until its window is
# visible, against a minimal Win32 window with the same caption, size, path
# box, two buttons and one label (no pictures, fonts or drop target), which
# this script builds with mingw-w64. The two start in turn, RUNS times each;
# the script prints each one's median and the ratio of the medians.
#   tools/startup-time.sh [PROGRAM.exe [RUNS [DISPLAY]]]
# PROGRAM defaults to the windows preset's Mirvane.exe (32-bit); a 64-bit one
# is timed against a 64-bit minimal window. Without DISPLAY the script runs
# on an Xvfb screen of its own. Not a test: the figures depend on the load.
# It ends the Wine server of the build's prefix, and with it any program still
# running there, when it is done.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../build/windows/window/win/Mirvane.exe}")
runs=${2:-9}
if [ -n "${3:-}" ] || [ -z "${DISPLAY:-}" ]; then
  screen=-a
  [ -z "${3:-}" ] || screen="-n $3"
  exec xvfb-run $screen -s "-screen 0 1024x768x24" "$0" "$program" "$runs"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case $(file -b "$program") in
  *x86-64*) compiler=x86_64-w64-mingw32-gcc-posix ;;
  *) compiler=i686-w64-mingw32-gcc-posix ;;
esac
cat >"$work/minimal.c" <<'EOF'
#include <windows.h>
static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM P, LPARAM L) {
  if (M == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(W, M, P, L);
}
int WINAPI WinMain(HINSTANCE I, HINSTANCE Unused, LPSTR Line, int Show) {
  WNDCLASSA C = {0, Proc, 0, 0, I, 0, LoadCursorA(0, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1), 0, "M"};
  RECT R = {0, 0, 285, 114};
  RegisterClassA(&C);
  AdjustWindowRectEx(&R, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW);
  HWND W = CreateWindowExA(WS_EX_TOOLWINDOW, "M", "Mirvane", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                           CW_USEDEFAULT, R.right - R.left, R.bottom - R.top, 0, 0, I, 0);
  CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 46, 22, 204, 20, W, 0, I, 0);
  CreateWindowA("BUTTON", "...", WS_CHILD | WS_VISIBLE, 249, 21, 18, 21, W, 0, I, 0);
  CreateWindowA("BUTTON", "Convert", WS_CHILD | WS_VISIBLE, 180, 51, 89, 62, W, 0, I, 0);
  CreateWindowA("STATIC", "This tool converts memory cards from VGS to Bleem! format.",
                WS_CHILD | WS_VISIBLE, 4, 52, 157, 36, W, 0, I, 0);
  ShowWindow(W, Show);
  UpdateWindow(W);
  MSG Message;
  while (GetMessageA(&Message, 0, 0, 0) > 0) DispatchMessageA(&Message);
  return 0;
}
EOF
"$compiler" -O2 -mwindows -o "$work/minimal.exe" "$work/minimal.c"

now() { date +%s%N; }
visible() { xdotool search --onlyvisible --name '^Mirvane$' >/dev/null 2>&1; }
# Milliseconds from starting $1 until its window is visible; the program is
# ended and its window gone before this returns.
time_start() {
  while visible; do :; done
  start=$(now)
  "$here/wine-run.sh" "$1" &
  pid=$!
  until visible; do
    kill -0 "$pid" 2>/dev/null || { echo "$1 ended without showing its window" >&2; exit 1; }
    if [ $(($(now) - start)) -gt 30000000000 ]; then
      kill "$pid"
      echo "$1 showed no window within 30 s" >&2
      exit 1
    fi
  done
  end=$(now)
  kill "$pid" && wait "$pid" 2>/dev/null || :
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The Wine server and the desktop process stay up between the starts, as on
# a running Windows; each program starts once unmeasured to fill the caches.
export WINEPREFIX="${MIRVANE_WINEPREFIX:-$here/../build/wineprefix}"
if [ ! -d "$WINEPREFIX" ]; then
  "$here/wine-run.sh" wineboot.exe --init
  /usr/lib/wine/wineserver -w
fi
# The server goes with the screen: a desktop left on a closed screen would
# keep the next run's windows from showing.
/usr/lib/wine/wineserver -p || :  # 2: already running
trap '/usr/lib/wine/wineserver -k; /usr/lib/wine/wineserver -w; rm -rf "$work"' EXIT
time_start "$work/minimal.exe" >/dev/null
time_start "$program" >/dev/null
i=0
while [ "$i" -lt "$runs" ]; do
  time_start "$work/minimal.exe" >>"$work/minimal.ms"
  time_start "$program" >>"$work/program.ms"
  i=$((i + 1))
done
minimal=$(median <"$work/minimal.ms")
mirvane=$(median <"$work/program.ms")
echo "minimal window: $(tr '\n' ' ' <"$work/minimal.ms")-> median $minimal ms"
echo "$(basename "$program"): $(tr '\n' ' ' <"$work/program.ms")-> median $mirvane ms"
echo "ratio: $(awk "BEGIN { printf \"%.2f\", $mirvane / $minimal }")x"
