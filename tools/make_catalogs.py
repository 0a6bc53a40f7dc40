#!/usr/bin/env python3
"""Turns the text catalogs (res/lang/<language>.txt) into the sources both editions build.

    make_catalogs.py <catalog folder> <output folder>

Writes, only where the content changed (so that nothing rebuilds for nothing):
  UserTextNames.h      one UserTexts::TextName per name of en.txt, in its order
  UserTextCatalogs.cpp the languages' codes and each one's texts as UTF-8, one after the
                       other, each terminated; a text the catalog lacks is the byte 0xFF
  EnglishTexts.rc.h    TARN_TEXT_<name> for the resource script: the English texts it can hold

A catalog line is blank, a comment (#) or `name = text`; the text runs to the end of the line,
`\\n` is a line break and `\\\\` a backslash. Any other line, an unknown escape, a name twice or a
name en.txt lacks stops the build with the file and line.
"""

import pathlib
import re
import sys

NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")
LANGUAGE = re.compile(r"[a-z]{2,3}\Z")
MISSING = b"\xff"  # a byte that UTF-8 never holds


def fail(where, message):
    sys.exit(f"{where}: {message}")


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        following = text[i + 1 : i + 2]
        if following == "n":
            out.append("\n")
        elif following == "\\":
            out.append("\\")
        else:
            fail(where, f"unknown escape \\{following}")
        i += 2
    return "".join(out)


def read_catalog(path):
    texts = {}
    try:
        lines = path.read_text(encoding="utf-8").split("\n")
    except UnicodeDecodeError as error:
        fail(path, f"not UTF-8 ({error})")
    for number, line in enumerate(lines, 1):
        where = f"{path}:{number}"
        line = line.removesuffix("\r")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        name, equals, text = line.partition("=")
        name = name.strip()
        if not equals or not NAME.match(name):
            fail(where, "expected `name = text`")
        if name in texts:
            fail(where, f"{name} is given twice")
        if any(ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0 for c in text):
            fail(where, "a control character; write a line break as \\n")
        texts[name] = unescape(text.removeprefix(" "), where)
    return texts


def cpp_bytes(data):
    """Bytes as a narrow literal's contents, terminated; octal escapes, which end after three
    digits, for every byte that is not printable ASCII."""
    out = []
    for byte in data + b"\0":
        c = chr(byte)
        if 0x20 <= byte < 0x7F and c not in '"\\?':
            out.append(c)
        else:
            out.append(f"\\{byte:03o}")
    return "".join(out)


def rc_literal(text):
    """The text as the resource script writes it, or None where it would need escapes."""
    if all(0x20 <= ord(c) < 0x7F and c not in '"\\' for c in text):
        return '"' + text + '"'
    return None


def write_if_changed(path, content):
    if not path.exists() or path.read_text(encoding="utf-8") != content:
        path.write_text(content, encoding="utf-8")


def main(source, target):
    source, target = pathlib.Path(source), pathlib.Path(target)
    english = read_catalog(source / "en.txt")
    languages = {"en": english}
    for path in sorted(source.glob("*.txt")):
        if path.stem == "en":
            continue
        if not LANGUAGE.match(path.stem):
            fail(path, "a catalog is named for its language's two- or three-letter code")
        texts = read_catalog(path)
        for name in texts:
            if name not in english:
                fail(path, f"{name} is not a name of en.txt")
        languages[path.stem] = texts

    names = list(english)
    header = ["// Made by tools/make_catalogs.py from res/lang/en.txt: one name a text.",
              "#pragma once", "", "namespace UserTexts {", ""]
    header += [f"inline constexpr TextName {name}{{{i}}};" for i, name in enumerate(names)]
    header += ["", f"inline constexpr unsigned textNameCount = {len(names)};", "",
               "} // namespace UserTexts", ""]

    body = ["// Made by tools/make_catalogs.py from res/lang/*.txt.",
            '#include "common/UserTextCatalogs.h"', "", "#include <iterator>", "",
            "namespace {", ""]
    for code, texts in languages.items():
        body.append(f"constexpr char {code}Texts[] =")
        body += [f'    "{cpp_bytes(texts[name].encode() if name in texts else MISSING)}"'
                 for name in names]
        body += ["    ;", ""]
    body += ["} // namespace", "", "const TextCatalog textCatalogs[] = {"]
    body += [f'    {{"{code}", {code}Texts}},' for code in languages]
    body += ["};", "", "const unsigned textCatalogCount = std::size(textCatalogs);", ""]

    rc = ["// Made by tools/make_catalogs.py from res/lang/en.txt: the English texts the",
          "// resource script takes, by name.", "#pragma once", ""]
    for name in names:
        literal = rc_literal(english[name])
        if literal is not None:
            rc.append(f"#define TARN_TEXT_{name} {literal}")
    rc.append("")

    target.mkdir(parents=True, exist_ok=True)
    write_if_changed(target / "UserTextNames.h", "\n".join(header))
    write_if_changed(target / "UserTextCatalogs.cpp", "\n".join(body))
    write_if_changed(target / "EnglishTexts.rc.h", "\n".join(rc))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
