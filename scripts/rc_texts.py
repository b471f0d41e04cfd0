#!/usr/bin/env python3
"""Makes the C++ table of the interface's texts from the string tables of a .rc file.

usage: rc_texts.py strings.rc text_ids.h out.cpp

The program reads its texts from its resources; the native build, which has none,
reads the same string tables through this table. Each STRINGTABLE takes the language
of the LANGUAGE statement before it. Strings use the escapes \\n, \\r, \\t, \\\\ and
\"\" (a quote).
"""
import re
import sys

LANGUAGES = {"LANG_JAPANESE": "Language::Japanese", "LANG_ENGLISH": "Language::English"}
DEFINE = re.compile(r"^\s*#\s*define\s+(IDS_\w+)\s+(\d+)\s*$")
LANGUAGE = re.compile(r"^\s*LANGUAGE\s+(\w+)\s*,")
ENTRY = re.compile(r'^\s*(IDS_\w+)\s*,\s*"((?:[^"]|"")*)"\s*$')
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            if i + 1 >= len(text) or text[i + 1] not in ESCAPES:
                sys.exit(f"{where}: unknown escape in a string")
            out.append(ESCAPES[text[i + 1]])
            i += 2
        elif c == '"':
            out.append('"')
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def cpp_literal(text):
    parts = []
    for c in text:
        if c in '\\"':
            parts.append("\\" + c)
        elif c == "\n":
            parts.append("\\n")
        elif c == "\r":
            parts.append("\\r")
        elif c == "\t":
            parts.append("\\t")
        else:
            parts.append(c)
    return 'L"' + "".join(parts) + '"'


def main():
    rc_path, ids_path, out_path = sys.argv[1:4]
    ids = {}
    with open(ids_path, encoding="utf-8") as header:
        for line in header:
            if match := DEFINE.match(line):
                ids[match.group(1)] = int(match.group(2))
    language = None
    in_table = False
    entries = {}
    with open(rc_path, encoding="utf-8") as rc:
        for number, line in enumerate(rc, 1):
            where = f"{rc_path}:{number}"
            if match := LANGUAGE.match(line):
                if match.group(1) not in LANGUAGES:
                    sys.exit(f"{where}: language {match.group(1)} is not one of the program's")
                language = LANGUAGES[match.group(1)]
            elif line.strip() == "STRINGTABLE":
                if language is None:
                    sys.exit(f"{where}: a string table with no LANGUAGE before it")
                in_table = True
            elif in_table and line.strip() == "END":
                in_table = False
            elif in_table and (match := ENTRY.match(line)):
                name = match.group(1)
                if name not in ids:
                    sys.exit(f"{where}: {name} has no number in {ids_path}")
                key = (language, ids[name])
                if key in entries:
                    sys.exit(f"{where}: {name} is given twice for {language}")
                entries[key] = unescape(match.group(2), where)
    missing = [(lang, name) for name in ids for lang in LANGUAGES.values() if (lang, ids[name]) not in entries]
    if missing:
        sys.exit("texts missing: " + ", ".join(f"{name} ({lang})" for lang, name in missing))
    with open(out_path, "w", encoding="utf-8") as out:
        out.write("// Made by scripts/rc_texts.py from the string tables of the resources.\n")
        out.write('#include "ui/texts.h"\n\n#include <algorithm>\n#include <iterator>\n\nnamespace vexa {\n\nnamespace {\n\n')
        out.write("struct BuiltInText {\n    Language language;\n    unsigned id;\n    const wchar_t* text;\n};\n\n")
        out.write("constexpr BuiltInText kTexts[] = {\n")
        for (lang, number), text in sorted(entries.items()):
            out.write(f"    {{{lang}, {number}, {cpp_literal(text)}}},\n")
        out.write("};\n\n} // namespace\n\n")
        out.write("std::optional<std::wstring> builtInText(Language language, unsigned id) {\n")
        out.write("    const auto found = std::find_if(std::begin(kTexts), std::end(kTexts),\n")
        out.write("        [&](const BuiltInText& each) { return each.language == language && each.id == id; });\n")
        out.write("    if (found == std::end(kTexts)) return std::nullopt;\n")
        out.write("    return std::wstring(found->text);\n}\n\n")
        out.write("std::vector<unsigned> builtInTextIds() {\n    std::vector<unsigned> ids;\n")
        out.write("    for (const BuiltInText& each : kTexts)\n")
        out.write("        if (each.language == Language::Japanese) ids.push_back(each.id);\n")
        out.write("    return ids;\n}\n\n} // namespace vexa\n")


if __name__ == "__main__":
    main()
