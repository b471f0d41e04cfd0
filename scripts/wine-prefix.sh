#!/usr/bin/env bash
# Creates a Wine prefix of the build's own at $1 (once): no Mono/Gecko prompts, one
# virtual desktop, no crash dialog, and IPAGothic standing in for the Windows UI
# fonts so Japanese shows under any code page.
set -euo pipefail
prefix=$1
[ -f "$prefix/.vexa-ready-2" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LANG=C.UTF-8 LC_ALL=C.UTF-8
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w

reg() { wine reg add "$@" /f >/dev/null 2>&1 </dev/null; }
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "MS UI Gothic" "Microsoft Sans Serif" \
    "Segoe UI" System "MS Gothic" "ＭＳ ゴシック" "MS PGothic" "ＭＳ Ｐゴシック" "Meiryo" "メイリオ"; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAGothic
done
# Debian's Wine does not look in its own font folder: copy Marlett, which draws the
# caption buttons and check marks, into the prefix.
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
wineserver -w
touch "$prefix/.vexa-ready-2"
