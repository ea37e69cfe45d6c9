#!/usr/bin/env bash
# Runs the program from a folder whose path is longer than MAX_PATH, and the
# end-to-end test that drives it there. This Wine cannot start a program from
# such a folder through CreateProcess, so the Wine loader starts it here.
#   deep-folder.sh BUILD_DIR   (inside a tools/wine-run session)
set -u
build=$(cd "$1" && pwd)
root="$build/deep-folder.$$"
deep=$root
for i in $(seq 1 12); do deep="$deep/a folder with a long name $i"; done
mkdir -p "$deep"
cp "$build/bin/Dravix Video Repair.exe" "$build/bin/ZMTE.exe" "$deep/"
(cd / && exec /usr/lib/wine/wine64 "$deep/Dravix Video Repair.exe") </dev/null >/dev/null 2>&1 &
program=$!
DRAVIX_DEEP_FOLDER=1 /usr/lib/wine/wine64 "$build/tests/e2e_tests.exe" --gtest_brief=1 \
    --gtest_filter='DeepFolder.*'
status=$?
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
left=$(find "$root" -name '{*}*' | wc -l)
rm -rf "$root"
[ "$left" = 0 ] || { echo "deep-folder.sh: $left temporary file(s) left beside the program"; exit 1; }
exit $status
