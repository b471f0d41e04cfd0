#!/usr/bin/env bash
# Re-makes the user guide's pictures from the real editor: builds the sample game and
# tests/win_tools/screenshot_driver.exe, which opens the sample in the editor under
# Wine (in an Xvfb display of our own), acts on it like a user and saves each picture
# cut to the windows it shows. The Japanese guide's pictures (docs/images/*.png) show
# the Japanese interface, the English guide's (docs/images/en/*.png) the English one,
# and docs/images/en/scale-150.png the main window at 150% display scale.
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

source scripts/xvfb.sh
start_xvfb
cleanup() {
    WINEPREFIX=$root/$win/wineprefix wineserver -k >/dev/null 2>&1 || true
    stop_xvfb
}
trap cleanup EXIT

# Japanese Windows shows the message box and file dialog buttons in Japanese too; the
# editor runs in that locale, for its Japanese pictures, when the machine has it.
japanese_lang=${LANG:-C.UTF-8}
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && japanese_lang=ja_JP.UTF-8

# Wine's Z: drive is the Unix root.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# take LANGUAGE DPI MAIN_WIDTH OUT NAME...: one run of the driver in a folder of its
# own, beside a config.ini that shows the interface in LANGUAGE and puts the main
# window (MAIN_WIDTH wide) and the inspector side by side on Wine's 1280 x 1024
# desktop, and names an emulator for the emulator dialog (UTF-16LE, as the editor
# itself writes it); the pictures NAME... go to OUT.
take() {
    local language=$1 dpi=$2 width=$3 out=$4
    shift 4
    local stage=out/screenshots/$language-$dpi
    rm -rf "$stage"
    mkdir -p "$stage/raw" "$out"
    "$native/make_sample" "$stage" >/dev/null
    cp "$win/screenshot_driver.exe" "$stage/"
    { printf '\xff\xfe'
      printf '%s\r\n' '[MainWindow]' 'Pos_X=0' 'Pos_Y=0' "Width=$width" 'Height=620' 'Maximized=0' \
          "Language=$language" '[Inspector]' "Pos_X=$width" 'Pos_Y=0' '[Emulator]' 'Path=C:\Emulators\snes\snes.exe' |
          iconv -f UTF-8 -t UTF-16LE; } >"$stage/config.ini"
    local wine_lang=${LANG:-C.UTF-8}
    [ "$language" = ja ] && wine_lang=$japanese_lang
    LANG=$wine_lang LC_ALL=$wine_lang VEXA_DPI=$dpi "$win/wine-run.sh" "$stage/screenshot_driver.exe" \
        "$(winpath "$root/$stage/sample.smc")" "$(winpath "$root/$stage/raw")"
    for name in "$@"; do
        [ -f "$stage/raw/${name%%:*}.bmp" ] || { echo "screenshots: ${name%%:*} was not taken" >&2; exit 1; }
        # The driver paints what lies between the windows of a picture in rgb(1,2,3).
        # NAME:SAVED saves the picture NAME as SAVED.
        convert "$stage/raw/${name%%:*}.bmp" -transparent 'rgb(1,2,3)' -strip "$out/${name##*:}.png"
        printf '%8d  %s\n' "$(stat -c %s "$out/${name##*:}.png")" "$out/${name##*:}.png"
    done
}

take ja 96 860 "$images" "${pictures[@]}"
take en 96 860 "$images/en" "${pictures[@]}"
take en 144 620 "$images/en" main:scale-150
