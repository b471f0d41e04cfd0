#!/usr/bin/env bash
# Vexa Editor on Linux: runs vexa_editor.exe, which lies beside this script, under
# Wine in a Wine prefix of its own, set up on first use with a Japanese font standing
# in for the Windows UI fonts.
#
#   ./vexa-editor.sh [ROM file]
#
# The ROM file, given as a Linux path, is handed to the editor in Wine's form
# (Z:\home\...). Settings (environment):
#   VEXA_WINEPREFIX     the Wine prefix; default
#                       ${XDG_DATA_HOME:-$HOME/.local/share}/vexa-editor/wineprefix
#   VEXA_WINE_DESKTOP   a size such as 1280x1024: run inside a Wine desktop window of
#                       that size instead of as ordinary windows
#   VEXA_JAPANESE_FONT  the font family to use for Japanese text (default: the first
#                       Japanese font that fontconfig knows, IPAGothic preferred)
set -euo pipefail

here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
exe=$here/vexa_editor.exe

say() { echo "vexa-editor: $*" >&2; }

usage() {
    sed -n '2,16s/^# \{0,1\}//p' "$0"
}

case "${1:-}" in
-h | --help) usage; exit 0 ;;
esac
if [ $# -gt 1 ]; then
    usage >&2
    exit 2
fi
if [ ! -f "$exe" ]; then
    say "vexa_editor.exe is not beside this script ($here)"
    exit 1
fi
if ! command -v wine >/dev/null 2>&1; then
    say "Wine is needed to run the editor. On Debian or Ubuntu:"
    say "  sudo apt install wine wine64 fonts-ipafont-gothic"
    exit 1
fi

export WINEPREFIX=${VEXA_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/vexa-editor/wineprefix}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

# Wine takes the Windows code page from the locale. Japanese Windows is what the
# editor was made for; any UTF-8 locale works too.
if locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
else
    case "${LC_ALL:-${LANG:-}}" in "" | C | POSIX) export LANG=C.UTF-8 LC_ALL=C.UTF-8 ;; esac
fi

japaneseFont() {
    if [ -n "${VEXA_JAPANESE_FONT:-}" ]; then
        echo "$VEXA_JAPANESE_FONT"
        return
    fi
    command -v fc-list >/dev/null 2>&1 || { echo IPAGothic; return; }
    local families preferred
    families=$(fc-list :lang=ja family 2>/dev/null | tr ',' '\n')
    for preferred in IPAGothic "Noto Sans Mono CJK JP" TakaoGothic "VL Gothic" IPAexGothic "Noto Sans CJK JP" \
        "Source Han Sans JP" "Droid Sans Fallback"; do
        if grep -qxF "$preferred" <<<"$families"; then
            echo "$preferred"
            return
        fi
    done
    head -n 1 <<<"$families"
}

marlettFont() {
    local wine dir
    wine=$(readlink -f "$(command -v wine)")
    for dir in /usr/share/wine/fonts /usr/lib/wine/fonts /usr/local/share/wine/fonts /opt/wine*/share/wine/fonts \
        "$(dirname "$wine")/../share/wine/fonts"; do
        [ -f "$dir/marlett.ttf" ] && { echo "$dir/marlett.ttf"; return; }
    done
    return 0
}

reg() { wine reg add "$@" /f >/dev/null 2>&1 </dev/null; }

# First use: a new 64-bit prefix without the Mono and Gecko installers' questions.
if [ ! -f "$WINEPREFIX/.vexa-prefix" ]; then
    say "setting up the Wine prefix $WINEPREFIX (once; this takes a minute)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    touch "$WINEPREFIX/.vexa-prefix"
fi

# Japanese text: the Windows UI fonts that the editor and its dialogs ask for, mapped
# to a font with Japanese glyphs. Done again whenever that font changes.
font=$(japaneseFont)
if [ -z "$font" ]; then
    say "no Japanese font found: Japanese text will show as boxes. On Debian or Ubuntu:"
    say "  sudo apt install fonts-ipafont-gothic"
elif [ "$(cat "$WINEPREFIX/.vexa-font" 2>/dev/null)" != "$font" ]; then
    for name in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "MS UI Gothic" "Microsoft Sans Serif" \
        "Segoe UI" System "MS Gothic" "ＭＳ ゴシック" "MS PGothic" "ＭＳ Ｐゴシック" "Meiryo" "メイリオ"; do
        reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "$font"
    done
    # Some Wine packages do not look in their own font folder: Marlett draws the
    # caption buttons and check marks.
    marlett=$(marlettFont)
    [ -n "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    wineserver -w
    echo "$font" >"$WINEPREFIX/.vexa-font"
fi

screenSize() {
    if [ -n "${VEXA_WINE_DESKTOP:-}" ]; then
        echo "${VEXA_WINE_DESKTOP/x/ }"
    elif command -v xdpyinfo >/dev/null 2>&1; then
        xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p' | head -n 1
    elif command -v xrandr >/dev/null 2>&1; then
        xrandr --current 2>/dev/null | sed -n 's/.* current \([0-9]*\) x \([0-9]*\),.*/\1 \2/p' | head -n 1
    fi
}

# First start in this folder: the editor would put its inspector at the screen's
# top-left corner, over the main window. Place the two side by side instead; from
# then on the editor keeps them where they were left. config.ini is UTF-16LE, as the
# editor itself creates it.
if [ ! -f "$here/config.ini" ] && [ -w "$here" ] && command -v iconv >/dev/null 2>&1; then
    read -r screenWidth screenHeight <<<"$(screenSize)" || true
    if [ -n "${screenWidth:-}" ] && [ "$screenWidth" -ge 1000 ] && [ "${screenHeight:-0}" -ge 600 ]; then
        width=$((screenWidth - 400 < 1100 ? screenWidth - 400 : 1100))
        height=$((screenHeight - 120 < 800 ? screenHeight - 120 : 800))
        { printf '\xff\xfe'
          printf '%s\r\n' '[MainWindow]' 'Pos_X=0' 'Pos_Y=0' "Width=$width" "Height=$height" 'Maximized=0' \
              '[Inspector]' "Pos_X=$((width + 8))" 'Pos_Y=0' | iconv -f UTF-8 -t UTF-16LE; } >"$here/config.ini"
    fi
fi

args=()
if [ $# -eq 1 ]; then
    if [ -e "$1" ]; then
        args+=("$(winepath -w "$(readlink -f "$1")" 2>/dev/null)")
    elif [[ "$1" =~ ^[A-Za-z]:\\ ]]; then
        args+=("$1") # already a Windows path
    else
        say "no such file: $1"
        exit 1
    fi
fi

if [ -n "${VEXA_WINE_DESKTOP:-}" ]; then
    exec wine explorer "/desktop=VexaEditor,$VEXA_WINE_DESKTOP" "$exe" ${args[@]+"${args[@]}"}
fi
exec wine "$exe" ${args[@]+"${args[@]}"}
