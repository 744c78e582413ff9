#!/usr/bin/env python3
"""Writes core/unicode_tables.cpp from the Unicode character database that
Python carries: the simple upper-case mapping of every code point, the
folding for comparing without letter case that follows from it, and the
code points of the line-separator, paragraph-separator and format classes
(Zl, Zp, Cf). Run it again to move to a newer Unicode version:

    python3 scripts/unicode-tables.py > core/unicode_tables.cpp
"""
import sys
import unicodedata


def simple_upper(c):
    # str.upper is the full mapping; where that gives more than one
    # character the simple mapping is the title-case letter when that is a
    # single one (Greek with iota subscript), else none.
    for mapped in (c.upper(), c.title()):
        if len(mapped) == 1:
            return ord(mapped)
    return ord(c)


def small_of(capital):
    """The small letter whose simple upper case is `capital`, else the
    capital itself (İ, whose small letter i has I as its capital)."""
    small = chr(capital).lower()
    if len(small) == 1 and simple_upper(small) == capital:
        return ord(small)
    return capital


def folded(c):
    # Characters with one capital fold alike, to that capital's small letter.
    return small_of(simple_upper(c))


def mapped_ranges(mapping):
    pairs = [(cp, mapping(chr(cp)) - cp) for cp in range(0x110000)
             if not 0xD800 <= cp <= 0xDFFF and mapping(chr(cp)) != cp]
    ranges = []  # [first, last, delta, stride]
    for cp, delta in pairs:
        if ranges:
            last = ranges[-1]
            if last[2] == delta and last[0] == last[1] and cp - last[1] in (1, 2):
                last[1], last[3] = cp, cp - last[1]
                continue
            if last[2] == delta and cp - last[1] == last[3]:
                last[1] = cp
                continue
        ranges.append([cp, cp, delta, 1])
    return ranges


def format_ranges():
    ranges = []
    for cp in range(0x110000):
        if unicodedata.category(chr(cp)) in ("Cf", "Zl", "Zp"):
            if ranges and ranges[-1][1] == cp - 1:
                ranges[-1][1] = cp
            else:
                ranges.append([cp, cp])
    return ranges


def main():
    out = sys.stdout
    out.write("// Written by scripts/unicode-tables.py from Unicode %s; do not edit.\n\n"
              % unicodedata.unidata_version)
    out.write('#include "core/unicode_tables.h"\n\nnamespace ravuvur {\n\n')
    for name, mapping in (("kUpperRanges", simple_upper), ("kFoldRanges", folded)):
        ranges = mapped_ranges(mapping)
        out.write("const MappedRange %s[%d] = {\n" % (name, len(ranges)))
        for first, last, delta, stride in ranges:
            out.write("    {0x%04X, 0x%04X, %d, %d},\n" % (first, last, delta, stride))
        out.write("};\n\n")
    fmt = format_ranges()
    out.write("const CodePointRange kFormatRanges[%d] = {\n" % len(fmt))
    for first, last in fmt:
        out.write("    {0x%04X, 0x%04X},\n" % (first, last))
    out.write("};\n\n}  // namespace ravuvur\n")


main()
