#!/usr/bin/env python3
"""Writes the three headers that korven writes, streamed: every piece (a
line, a wrapper, a type list) is written through a buffered file as soon as
it is produced, so no header is ever held in memory. The benchmark measures
korven against it and against write_headers.py, which joins whole headers in
memory (and checks that all give the same bytes).

usage: stream_headers.py MAX_FIXED_PARAMS MAX_FORMAT_PARAMS OUTPUT_DIR [NAME...]
Without names, the fourteen default ones are used.
"""
import os
import sys

from write_headers import DEFAULT_NAMES, EOL, cont, declaration_head, head, suffix, wrapper

BUFFER_SIZE = 1 << 20


class Header:
    """A header file written line by line through a buffer."""

    def __init__(self, directory, file_name):
        self.file = open(os.path.join(directory, file_name), "wb", buffering=BUFFER_SIZE)

    def lines(self, lines):
        self.file.write((EOL.join(lines) + EOL).encode("utf-8"))

    def close(self):
        self.file.close()


def declarations(out, k, m):
    """One declaration macro with its m wrappers; the parameter lists grow
    by one item per wrapper."""
    fixed_sig = "".join("p%dtype p%d, " % (i, i) for i in range(k))
    fixed_arg = "".join("p%d, " % i for i in range(k))
    out.lines(declaration_head(k, True))
    sig, types, args, names = "", "", "", ""
    for n in range(m):
        template = "template <%s>" % names if n else ""
        out.lines(wrapper(fixed_sig, fixed_arg, n, template, sig, types, args))
        sig += ", T%d t%d" % (n, n)
        types += ", T%d" % n
        args += ", t%d" % n
        names += ("" if n == 0 else ", ") + "typename T%d" % n
    out.lines(["", ""])


def begin_header(out, f, m, names):
    out.lines(head("format_definition_begin.hpp"))
    out.lines(["#ifdef __cplusplus", "", "#include <qirt/format.hpp>", "", "#ifdef QIRT_FORMAT_CHECK", ""])
    out.lines(["#undef " + name for name in reversed(names)])
    out.lines(["", "", "#define QIRT_FORMAT_USING(ns,x) using ns::_safe_##x;", ""])
    for k in range(f + 1):
        declarations(out, k, m)
    out.lines(["", "", "#else // #ifdef QIRT_FORMAT_CHECK", "", "#define QIRT_FORMAT_USING(ns,x)", ""])
    for k in range(f + 1):
        out.lines(declaration_head(k, False))
    out.lines(["", "", "#endif // #ifdef QIRT_FORMAT_CHECK", "", "#else /* #ifdef __cplusplus */", "",
               "#define QIRT_FORMAT_USING(ns,x)", ""])
    for k in range(f + 1):
        out.lines(declaration_head(k, False))
    out.lines(["", "", "#endif /* #ifdef __cplusplus */"])


def end_header(out, f, names):
    out.lines(head("format_definition_end.hpp") + [""])
    for k in range(f + 1):
        name = "QIRT_FORMAT_DECLARE_SAFE" + suffix(k)
        out.lines(["#ifdef " + name, " #undef " + name, "#endif"])
    out.lines(["", "", "", "#ifdef __cplusplus", "", "#ifdef QIRT_FORMAT_CHECK", "",
               "#ifdef QIRT_FORMAT_CHECK_DEBUG", ""])
    for arguments in ("__FILE__, __LINE__, __FUNC__, ", ""):
        for name in reversed(names):
            out.lines(["#define %s(...) \\" % name, "    _safe_%s (%s__VA_ARGS__)" % (name, arguments)])
        out.lines(["", ""])
        if arguments:
            out.lines(["#else // #ifdef QIRT_FORMAT_CHECK_DEBUG", ""])
    out.lines(["#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG", "", "#endif // #ifdef QIRT_FORMAT_CHECK", "",
               "#endif /* #ifdef __cplusplus */"])


def typelist_header(out, m):
    out.lines(head("format_typelist.hpp"))
    out.lines(["#ifndef _QIRT_FORMAT_TYPELIST_HPP", "#define _QIRT_FORMAT_TYPELIST_HPP", "",
               "#include <qirt/format.hpp>", "", "namespace qirt", "{", "",
               "template <typename CStringT>", "    struct typelist0_t",
               "{ static const unsigned* value; };", "template <typename CStringT>",
               "    const unsigned* typelist0_t <CStringT>::value = 0;", ""])
    typenames, types = "", ""
    for n in range(1, m):
        typenames += ("" if n == 1 else ", ") + "typename T%d" % (n - 1)
        types += ", T%d" % (n - 1)
        out.lines(["template <typename CStringT, %s>" % typenames, "    struct typelist%d_t" % n,
                   "{ static const unsigned value[%d]; };" % n,
                   "template <typename CStringT, %s>" % typenames,
                   "    const unsigned typelist%d_t <CStringT%s>::value[%d] = {" % (n, types, n)]
                  + ["        TypeID <T%d, CStringT>::value," % i for i in range(n)]
                  + ["    };", ""])
    out.lines(["", "", "} // namespace qirt", "", "#endif // _QIRT_FORMAT_TYPELIST_HPP"])


def main():
    f, m, directory = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    names = sys.argv[4:] or DEFAULT_NAMES
    out = Header(directory, "format_definition_begin.hpp")
    begin_header(out, f, m, names)
    out.close()
    out = Header(directory, "format_definition_end.hpp")
    end_header(out, f, names)
    out.close()
    out = Header(directory, "format_typelist.hpp")
    typelist_header(out, m)
    out.close()


if __name__ == "__main__":
    main()
