#!/usr/bin/env bash
# Makes the release archive out/release/vexa-editor-<version>.zip: builds what is
# missing, then packs one folder vexa-editor-<version>/ holding the editor
# (vexa_editor.exe), the sample game's settings files (rominfo.ini, sprites.ini,
# chips/) and its ROM image (sample.smc), the Linux launcher vexa-editor.sh, the user
# READMEs and the user guide (English and Japanese). The archive's contents are checked before the script
# reports success.
# The version is the program's, from resources/vexa.manifest, unless VEXA_VERSION
# says otherwise. VEXA_BUILD_NATIVE and VEXA_BUILD_WIN choose other build folders
# than build/native and build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
native=${VEXA_BUILD_NATIVE:-build/native}
win=${VEXA_BUILD_WIN:-build/win}

fail() {
    echo "release: $*" >&2
    exit 1
}

version=${VEXA_VERSION:-$(sed -n 's/.*name="Vexa\.Editor" version="\([0-9]*\.[0-9]*\.[0-9]*\)[^"]*".*/\1/p' \
    resources/vexa.manifest)}
[ -n "$version" ] || fail "no version in resources/vexa.manifest"
name=vexa-editor-$version
out=out/release
zip=$out/$name.zip

scripts/deps.sh
cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" -j"$jobs" --target make_sample
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"$jobs" --target vexa_editor

folder=$out/$name
rm -rf "$folder" "$zip"
mkdir -p "$folder"
"$native/make_sample" "$folder" >/dev/null
x86_64-w64-mingw32-strip -o "$folder/vexa_editor.exe" "$win/vexa_editor.exe"
install -m 755 release/vexa-editor.sh "$folder/vexa-editor.sh"
# Read in Notepad as well as anywhere else: CRLF line ends and, for the Japanese
# text, a UTF-8 byte-order mark.
for readme in README-en.txt README-ja.txt; do
    { [ "$readme" = README-ja.txt ] && printf '\xef\xbb\xbf'
      sed 's/$/\r/' "release/$readme"; } >"$folder/$readme"
done
mkdir -p "$folder/docs/images/en"
cp docs/guide.md docs/guide-ja.md "$folder/docs/"
cp docs/images/*.png "$folder/docs/images/"
cp docs/images/en/*.png "$folder/docs/images/en/"

(cd "$out" && zip -q -X -r "$name.zip" "$name")

# ---- What the archive must hold ----
listing=$(unzip -Z "$zip")
entries=$(unzip -Z1 "$zip")
has() { grep -qxF "$name/$1" <<<"$entries" || fail "$zip lacks $name/$1"; }
for file in vexa_editor.exe rominfo.ini sprites.ini sample.smc vexa-editor.sh README-en.txt README-ja.txt \
    docs/guide.md docs/guide-ja.md; do
    has "$file"
done
# Every chip bitmap that rominfo.ini names.
chips=$(iconv -f SHIFT-JIS -t UTF-8 "$folder/rominfo.ini" | tr -d '\r' |
    sed -n '/^\[MapChip\]/,/^\[/{/^[0-9A-Fa-f][0-9A-Fa-f]=/s/^[^=]*=//p}')
[ -n "$chips" ] || fail "rominfo.ini names no chip bitmaps"
while read -r chip; do has "chips/$chip"; done <<<"$chips"
# Every picture that the guides show.
while read -r image; do has "docs/$image"; done < <(grep -ho 'images/[A-Za-z0-9_/-]*\.png' docs/guide*.md | sort -u)
grep -qE "^-rwx.* $name/vexa-editor\.sh\$" <<<"$listing" || fail "vexa-editor.sh is not executable in $zip"
[ "$(unzip -p "$zip" "$name/vexa_editor.exe" | head -c 2)" = MZ ] || fail "vexa_editor.exe is not a Windows program"
size=$(unzip -p "$zip" "$name/sample.smc" | wc -c)
[ "$size" -eq 4194304 ] || fail "sample.smc holds $size bytes, not 4194304"

echo "release: $root/$zip ($(stat -c %s "$zip") bytes, $(wc -l <<<"$entries") entries)"
