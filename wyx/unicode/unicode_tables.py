#!/usr/bin/env python3
"""Writes wyx/unicode/unicode_tables.cpp from the Unicode character database.

    python3 wyx/unicode/unicode_tables.py [UCD_DIR] [OUTPUT]

UCD_DIR is a directory with CaseFolding.txt and extracted/DerivedGeneralCategory.txt
(Debian's unicode-data package installs them in /usr/share/unicode, the default).
OUTPUT defaults to unicode_tables.cpp beside this script. `cmake --build build
--target unicode_tables` runs the same command.
"""

import io
import os
import re
import sys

MAX_CODE_POINT = 0x10FFFF

# General category -> the CharClass enumerator of unicode.hpp. Every other
# category is kOther.
CLASS_OF_CATEGORY = {
    "Lu": "L", "Ll": "L", "Lt": "L", "Lm": "L", "Lo": "L",
    "Nl": "N",
    "Nd": "D",
    "Mn": "J", "Mc": "J", "Pc": "J", "Cf": "J",
}


def records(path):
    """Yields the fields of every data line, comments stripped, and the version."""
    with open(path, encoding="utf-8") as f:
        first = f.readline()
        match = re.match(r"# \w+-(\d+\.\d+\.\d+)\.txt", first)
        if not match:
            sys.exit(f"{path}: no version on the first line")
        yield match.group(1)
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield [field.strip() for field in line.split(";")]


def read_classes(path):
    lines = records(path)
    version = next(lines)
    classes = ["O"] * (MAX_CODE_POINT + 1)
    for code_range, category in lines:
        first, _, last = code_range.partition("..")
        for c in range(int(first, 16), int(last or first, 16) + 1):
            classes[c] = CLASS_OF_CATEGORY.get(category, "O")
    return version, classes


def read_folding(path):
    """The common (C) and full (F) mappings; simple (S) and Turkic (T) ones are not used."""
    lines = records(path)
    version = next(lines)
    simple, full = {}, {}
    for fields in lines:
        c, status, mapping = int(fields[0], 16), fields[1], [int(x, 16) for x in fields[2].split()]
        if status == "C":
            simple[c] = mapping[0]
        elif status == "F":
            full[c] = mapping
    return version, simple, full


def class_runs(classes):
    return [(c, classes[c]) for c in range(len(classes)) if c == 0 or classes[c] != classes[c - 1]]


def fold_runs(simple, full):
    """Groups the foldings into non-overlapping runs, sorted by first code point.

    A run of kind "E" folds each code point of first..last by one delta, kind
    "A" every other one (where upper and lower case alternate); the code points
    it skips have no folding at all. Kind "M" is one code point folding to
    several, and its value is the index of its entry in the full table.
    """
    full_index = {c: i for i, c in enumerate(sorted(full))}
    runs = []  # [first, last, kind, value]
    for c in sorted(set(simple) | set(full)):
        if c in full:
            runs.append([c, c, "M", full_index[c]])
            continue
        delta = simple[c] - c
        if runs and runs[-1][2] != "M" and runs[-1][3] == delta:
            run = runs[-1]
            gap = c - run[1]
            single = run[0] == run[1]
            if gap == 1 and (single or run[2] == "E"):
                run[1], run[2] = c, "E"
                continue
            if gap == 2 and (single or run[2] == "A") and c - 1 not in simple and c - 1 not in full:
                run[1], run[2] = c, "A"
                continue
        runs.append([c, c, "E", delta])
    for before, after in zip(runs, runs[1:]):
        assert before[1] < after[0], "fold runs overlap"
    return runs


def write_lines(out, items, per_line):
    for i in range(0, len(items), per_line):
        out.write("    " + " ".join(items[i:i + per_line]) + "\n")


def generate(ucd, out):
    version, classes = read_classes(os.path.join(ucd, "extracted", "DerivedGeneralCategory.txt"))
    fold_version, simple, full = read_folding(os.path.join(ucd, "CaseFolding.txt"))
    if version != fold_version:
        sys.exit(f"version mismatch: categories {version}, case folding {fold_version}")
    if any(c > 0xFFFF or len(m) > 3 or max(m) > 0xFFFF for c, m in full.items()):
        sys.exit("a full folding no longer fits the table's char16_t[3] entries")

    out.write(f"""\
// Generated from the Unicode {version} character database by wyx/unicode/unicode_tables.py.
// Do not edit: regenerate with `cmake --build build --target unicode_tables`
// (or `python3 wyx/unicode/unicode_tables.py /usr/share/unicode`).
#include "wyx/unicode/unicode_tables.hpp"

// clang-format off
namespace wyx::unicode::tables {{

namespace {{
constexpr CharClass O = CharClass::kOther;
constexpr CharClass L = CharClass::kLetter;
constexpr CharClass N = CharClass::kLetterNumber;
constexpr CharClass D = CharClass::kDecimalDigit;
constexpr CharClass J = CharClass::kJoiner;
constexpr FoldKind E = FoldKind::kEach;
constexpr FoldKind A = FoldKind::kAlternate;
constexpr FoldKind M = FoldKind::kMultiple;
}}  // namespace

const char kUnicodeVersion[] = "{version}";

""")
    runs = class_runs(classes)
    out.write("const std::uint32_t kClassRuns[] = {\n")
    write_lines(out, [f"run(0x{c:05X},{k})," for c, k in runs], 6)
    out.write(f"}};\nconst std::size_t kClassRunCount = {len(runs)};\n\n")

    folds = fold_runs(simple, full)
    out.write("const fold_run_t kFoldRuns[] = {\n")
    write_lines(out, [f"{{0x{f:05X},0x{l:05X},{d},{k}}}," for f, l, k, d in folds], 4)
    out.write(f"}};\nconst std::size_t kFoldRunCount = {len(folds)};\n\n")

    out.write("const full_fold_t kFullFolds[] = {\n")
    entries = []
    for c in sorted(full):
        mapping = ",".join(f"0x{m:04X}" for m in full[c] + [0] * (3 - len(full[c])))
        entries.append(f"{{0x{c:04X},{{{mapping}}}}},")
    write_lines(out, entries, 2)
    out.write("};\n\n")
    out.write("}  // namespace wyx::unicode::tables\n")


def main():
    ucd = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"
    default_output = os.path.join(os.path.dirname(os.path.abspath(__file__)), "unicode_tables.cpp")
    output = sys.argv[2] if len(sys.argv) > 2 else default_output
    # Built in memory first, so a failed run leaves the old table intact.
    text = io.StringIO()
    generate(ucd, text)
    with open(output, "w", encoding="utf-8", newline="\n") as out:
        out.write(text.getvalue())


if __name__ == "__main__":
    main()
