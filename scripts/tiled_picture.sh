#!/usr/bin/env bash
# Re-makes the user guide's picture of a stage in Tiled, docs/images/tiled-map.png: the
# sample's stage 19 (hexadecimal, as the editor numbers it) exported with vexa tiled
# export and drawn by Tiled's tmxrasterizer with every layer shown, the hidden 地形属性
# too, and the objects as Tiled draws them. Native only: no Wine, no display.
# VEXA_BUILD_NATIVE chooses another build folder than build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
native=${VEXA_BUILD_NATIVE:-build/native}
stage=0x19
picture=docs/images/tiled-map.png

scripts/deps.sh tiled
cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" -j"$jobs" --target make_sample vexa

work=out/tiled-picture
rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
"$native/make_sample" "$work" >/dev/null
"$native/vexa" tiled export "$work/sample.smc" "$stage" "$work/stage.tmj" >/dev/null
# Tiled's tools run headless on Qt's offscreen platform, with a runtime folder of their own.
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$PWD/$work/runtime XDG_CONFIG_HOME=$PWD/$work/config \
    tmxrasterizer --ignore-visibility "$work/stage.tmj" "$work/stage.png"
convert "$work/stage.png" -strip "$picture"
printf '%8d  %s\n' "$(stat -c %s "$picture")" "$picture"
