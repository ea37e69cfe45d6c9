#!/usr/bin/env bash
# Runs the end-to-end scale test at 144 and 192 DPI. The display's DPI is a
# setting of the Wine prefix (LogPixels), so the test gets a prefix of its own,
# a copy of the session's, with a desktop and a display large enough for the
# window at 200 %. The pictures it takes are kept as PNG files in
# BUILD_DIR/screens/<dpi>/.
#   display-scale.sh BUILD_DIR   (inside a tools/wine-run session)
set -u
build=$(cd "$1" && pwd)
wine=/usr/lib/wine/wine64
prefix=$("$(dirname "${BASH_SOURCE[0]}")/../../tools/scale-prefix" "$build") || exit 1
export WINEPREFIX="$prefix"

xvfb_pid=
cleanup() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    /usr/lib/wine/wineserver -w >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -f "$build/.xvfb-scale.$$"
}
trap cleanup EXIT
fdfile="$build/.xvfb-scale.$$"
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
[ -s "$fdfile" ] || { echo "display-scale.sh: Xvfb did not start" >&2; exit 3; }
export DISPLAY=":$(head -n1 "$fdfile")"
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1200 /f >/dev/null 2>&1

status=0
for dpi in 144 192; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    screens="$build/screens/$dpi"
    rm -rf "$screens"
    mkdir -p "$screens"
    echo "display-scale.sh: $dpi DPI"
    DRAVIX_EXPECT_DPI=$dpi DRAVIX_SCREENS="Z:${screens//\//\\}" \
        "$wine" "$build/tests/e2e_tests.exe" --gtest_brief=1 --gtest_filter='DisplayScale.*' ||
        status=1
    for bmp in "$screens"/*.bmp; do
        [ -f "$bmp" ] || continue
        convert "$bmp" -strip "${bmp%.bmp}.png" && rm -f "$bmp"
    done
done
exit $status
