#!/usr/bin/env python3
"""Edit the language file comps.txt as UTF-8.

comps.txt is 8-bit text: each language's lines are in the code page that its
"%" line names by charset (186 Baltic, 204 Cyrillic, ...). Editors show that
mixture as mojibake, so convert it, edit, and convert it back:

    scripts/comps.py decode data/comps.txt > /tmp/comps.utf8.txt
    ... edit /tmp/comps.utf8.txt ...
    scripts/comps.py encode /tmp/comps.utf8.txt > data/comps.txt

Lines end with CR LF in the shipped file.
"""
import sys

CODE_PAGES = {186: "cp1257", 204: "cp1251", 161: "cp1253", 162: "cp1254", 163: "cp1258"}


def code_page(charset_field):
    try:
        return CODE_PAGES.get(int(charset_field), "cp1250")
    except ValueError:
        return "cp1250"


def charset_of(line):
    fields = line[1:].split("\t")
    return fields[1] if len(fields) > 1 else ""


def decode(data):
    out, page = [], "cp1257"
    for raw in data.splitlines():
        if raw.startswith(b"%"):
            page = code_page(charset_of(raw.decode("latin-1")))
        out.append(raw.decode(page, errors="surrogateescape"))
    return "\n".join(out) + "\n"


def encode(text):
    out, page = [], "cp1257"
    for line in text.splitlines():
        if line.startswith("%"):
            page = code_page(charset_of(line))
        out.append(line.encode(page, errors="surrogateescape"))
    return b"\r\n".join(out) + b"\r\n"


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("decode", "encode"):
        sys.exit(__doc__)
    with open(sys.argv[2], "rb") as source:
        data = source.read()
    if sys.argv[1] == "decode":
        sys.stdout.write(decode(data))
    else:
        sys.stdout.buffer.write(encode(data.decode("utf-8", errors="surrogateescape")))


if __name__ == "__main__":
    main()
