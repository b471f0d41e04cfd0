#!/usr/bin/env bash
# Re-makes the user guide's pictures, docs/images/*.png, from the real editor: builds
# the sample game and tests/win_tools/screenshot_driver.exe, which opens the sample in
# the editor under Wine (in an Xvfb display of our own), acts on it like a user and
# saves each picture cut to the windows it shows.
# VEXA_BUILD_NATIVE and VEXA_BUILD_WIN choose other build folders than build/native
# and build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
native=${VEXA_BUILD_NATIVE:-build/native}
win=${VEXA_BUILD_WIN:-build/win}
images=docs/images
pictures=(main inspector-sprites inspector-bananas inspector-cameras camera-resize box-select terrain-page chip-palette terrain-painted zoom-50 zoom-200-grid stage-dialog emulator-dialog)

scripts/deps.sh
cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" -j"$jobs" --target make_sample
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"$jobs" --target screenshot_driver

# The driver reads its settings beside itself, like the editor: the sample's files,
# and a config.ini that puts the main window and the inspector side by side on Wine's
# 1280 x 1024 desktop and names an emulator for the emulator dialog. config.ini is
# UTF-16LE, as the editor itself creates it.
stage=out/screenshots
rm -rf "$stage"
mkdir -p "$stage/raw"
"$native/make_sample" "$stage" >/dev/null
cp "$win/screenshot_driver.exe" "$stage/"
{ printf '\xff\xfe'
  printf '%s\r\n' '[MainWindow]' 'Pos_X=0' 'Pos_Y=0' 'Width=860' 'Height=620' 'Maximized=0' \
      '[Inspector]' 'Pos_X=860' 'Pos_Y=0' '[Emulator]' 'Path=C:\Emulators\snes\snes.exe' |
      iconv -f UTF-8 -t UTF-16LE; } >"$stage/config.ini"

# Japanese Windows shows the message box and file dialog buttons in Japanese too; the
# editor runs in that locale when the machine has it.
wine_lang=${LANG:-C.UTF-8}
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && wine_lang=ja_JP.UTF-8

source scripts/xvfb.sh
start_xvfb
cleanup() {
    WINEPREFIX=$root/$win/wineprefix wineserver -k >/dev/null 2>&1 || true
    stop_xvfb
}
trap cleanup EXIT

# Wine's Z: drive is the Unix root.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
LANG=$wine_lang LC_ALL=$wine_lang "$win/wine-run.sh" "$stage/screenshot_driver.exe" "$(winpath "$root/$stage/sample.smc")" "$(winpath "$root/$stage/raw")"

mkdir -p "$images"
for name in "${pictures[@]}"; do
    [ -f "$stage/raw/$name.bmp" ] || { echo "screenshots: $name was not taken" >&2; exit 1; }
    # The driver paints what lies between the windows of a picture in rgb(1,2,3).
    convert "$stage/raw/$name.bmp" -transparent 'rgb(1,2,3)' -strip "$images/$name.png"
done
for name in "${pictures[@]}"; do
    printf '%8d  %s\n' "$(stat -c %s "$images/$name.png")" "$images/$name.png"
done
