#!/usr/bin/env bash
# Creates a Wine prefix of the build's own at $1 (once): no Mono/Gecko prompts, one
# virtual desktop, no crash dialog, and IPAGothic standing in for the Windows UI
# fonts so Japanese shows under any code page.
set -euo pipefail
prefix=$1
[ -f "$prefix/.vexa-ready-3" ] && exit 0

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
# Debian's Wine does not look in its own font folder: copy Marlett (package
# fonts-wine), which draws the caption buttons and check marks, into the prefix.
# Without it every window shows "0 1 r" for its buttons, so a missing font stops here.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ ! -f "$marlett" ]; then
    echo "wine-prefix.sh: $marlett is missing (install fonts-wine)" >&2
    exit 1
fi
cp "$marlett" "$prefix/drive_c/windows/Fonts/"
wineserver -w
touch "$prefix/.vexa-ready-3"
