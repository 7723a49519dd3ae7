#!/usr/bin/env python3
"""Checks the locale files of CurtainUp against each other and against the code.

Usage: check_locale_keys.py <repo root>

Fails (exit 1, one line per fault on stderr) when
  - a line of a locale file is not Key="text" (blank lines and # comments
    aside), or a key appears twice (OBS looks keys up ignoring letter case, so
    keys that differ only in case count as the same key);
  - a locale file lacks a key that en-US.ini has, or has one en-US.ini lacks;
  - the placeholders (%1, %2, ...) of a key differ from those in en-US.ini;
  - a string literal in src/ shaped like a locale key (Word.Word...) has no
    text in en-US.ini.
Prints one summary line and exits 0 otherwise.
"""

import re
import sys
from pathlib import Path

REFERENCE_LOCALE = "en-US.ini"
REQUIRED_LOCALES = (REFERENCE_LOCALE, "ja-JP.ini")

# The shape that the code base reserves for locale keys.
KEY_SHAPE = re.compile(r"[A-Z][A-Za-z]+(\.[A-Za-z0-9]+)+")

# Literals in src/ that have the key shape but are not locale keys.
NOT_LOCALE_KEYS = frozenset()

# Key="text": the text may hold escaped quotes (\") but no bare ones.
ENTRY_LINE = re.compile(r'([A-Za-z][A-Za-z0-9]*(?:\.[A-Za-z0-9]+)*)="((?:[^"\\]|\\.)*)"')
PLACEHOLDER = re.compile(r"%[1-9][0-9]?")

SOURCE_SUFFIXES = (".cpp", ".h")
# Header names such as "StandbyDock.h" have the key shape too.
INCLUDE_LINE = re.compile(r"^[ \t]*#[ \t]*include\b.*$", re.MULTILINE)
# What may stand before R"( of a raw string: nothing or an encoding prefix.
RAW_PREFIX = re.compile(r"(u8|u|U|L)?")


def read_locale(path, errors):
    """Returns {key: text} of one locale file, recording every fault."""
    entries = {}
    seen_folded = {}
    try:
        content = path.read_bytes().decode("utf-8-sig")
    except UnicodeDecodeError as exc:
        errors.append(f"{path.name}: not valid UTF-8 ({exc})")
        return entries
    if "\r\n" in content:
        errors.append(f"{path.name}: CRLF line ends (use LF)")
        content = content.replace("\r\n", "\n")
    for number, line in enumerate(content.split("\n"), start=1):
        where = f"{path.name}:{number}"
        if not line.strip() or line.startswith("#"):
            continue
        match = ENTRY_LINE.fullmatch(line)
        if not match:
            errors.append(f"{where}: malformed line: {line}")
            continue
        key, text = match.groups()
        if not text:
            errors.append(f"{where}: empty text for {key}")
        folded = key.casefold()
        if folded in seen_folded:
            errors.append(f"{where}: duplicate key {key} (first at line {seen_folded[folded]})")
            continue
        seen_folded[folded] = number
        entries[key] = text
    return entries


def compare_with_reference(name, entries, reference, errors):
    for key in sorted(reference.keys() - entries.keys()):
        errors.append(f"{name}: missing key {key} (present in {REFERENCE_LOCALE})")
    for key in sorted(entries.keys() - reference.keys()):
        errors.append(f"{name}: extra key {key} (absent from {REFERENCE_LOCALE})")
    for key in sorted(entries.keys() & reference.keys()):
        ours = sorted(set(PLACEHOLDER.findall(entries[key])))
        theirs = sorted(set(PLACEHOLDER.findall(reference[key])))
        if ours != theirs:
            errors.append(
                f"{name}: {key} has placeholders {ours or 'none'}, "
                f"{REFERENCE_LOCALE} has {theirs or 'none'}"
            )


def identifier_before(code, end):
    start = end
    while start > 0 and (code[start - 1].isalnum() or code[start - 1] == "_"):
        start -= 1
    return code[start:end]


def string_literals(code):
    """Yields (line number, contents) of each ordinary string literal in C++
    code, skipping comments, character literals and raw strings."""
    i, line, length = 0, 1, len(code)
    while i < length:
        ch = code[i]
        if ch == "\n":
            line += 1
            i += 1
        elif code.startswith("//", i):
            end = code.find("\n", i)
            i = length if end < 0 else end
        elif code.startswith("/*", i):
            end = code.find("*/", i + 2)
            end = length if end < 0 else end + 2
            line += code.count("\n", i, end)
            i = end
        elif code.startswith('R"', i) and RAW_PREFIX.fullmatch(identifier_before(code, i)):
            open_paren = code.find("(", i + 2)
            if open_paren < 0:
                break
            closing = ")" + code[i + 2 : open_paren] + '"'
            end = code.find(closing, open_paren)
            end = length if end < 0 else end + len(closing)
            line += code.count("\n", i, end)
            i = end
        elif ch in "\"'":
            start_line = line
            j = i + 1
            while j < length and code[j] != ch and code[j] != "\n":
                j += 2 if code[j] == "\\" else 1
            if ch == '"':
                yield start_line, code[i + 1 : j]
            i = j + 1
        else:
            i += 1


def keys_used_in_code(src_dir):
    """Returns {key: first "file:line"} of the key-shaped literals under src_dir."""
    used = {}
    for path in sorted(src_dir.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        code = INCLUDE_LINE.sub("", path.read_text(encoding="utf-8", errors="replace"))
        for number, literal in string_literals(code):
            if KEY_SHAPE.fullmatch(literal) and literal not in NOT_LOCALE_KEYS:
                used.setdefault(literal, f"{path.relative_to(src_dir.parent)}:{number}")
    return used


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} <repo root>", file=sys.stderr)
        return 2
    root = Path(argv[1])
    locale_dir = root / "data" / "locale"
    src_dir = root / "src"
    errors = []

    for name in REQUIRED_LOCALES:
        if not (locale_dir / name).is_file():
            errors.append(f"{locale_dir / name}: file missing")
    if not src_dir.is_dir():
        errors.append(f"{src_dir}: folder missing")
    if errors:
        print("\n".join(errors), file=sys.stderr)
        return 1

    reference = read_locale(locale_dir / REFERENCE_LOCALE, errors)
    others = sorted(p for p in locale_dir.glob("*.ini") if p.name != REFERENCE_LOCALE)
    for path in others:
        compare_with_reference(path.name, read_locale(path, errors), reference, errors)

    used = keys_used_in_code(src_dir)
    for key in sorted(used.keys() - reference.keys()):
        errors.append(f"{used[key]}: key {key} has no text in {REFERENCE_LOCALE}")

    if errors:
        print("\n".join(errors), file=sys.stderr)
        print(f"locale check failed: {len(errors)} problem(s)", file=sys.stderr)
        return 1
    print(
        f"locale OK: {len(reference)} keys in {len(others) + 1} files, "
        f"{len(used)} keys used in src/ all present"
    )
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
