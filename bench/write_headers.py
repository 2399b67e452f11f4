#!/usr/bin/env python3
"""Writes the three headers that korven writes, the plain way: every text
built with string joins in memory, then written. The benchmark measures korven
against it (and checks that both give the same bytes).

usage: write_headers.py MAX_FIXED_PARAMS MAX_FORMAT_PARAMS OUTPUT_DIR [NAME...]
Without names, the fourteen default ones are used.
"""
import os
import sys

DEFAULT_NAMES = ("printf wprintf sprintf swprintf fprintf fwprintf scanf wscanf sscanf swscanf "
                 "fscanf fwscanf cat_printf cat_sprintf").split()
EOL = "\r\n"


def head(file_name):
    return [
        "", "/*", " * qirt/" + file_name, " * Format string checking support",
        " * Copyright (C) The Korven Authors. All rights reserved.", " *", " * Version: 1.03",
        " * Author: The Korven Authors (generated file, do not edit)", " * Licence: BSD-2-Clause",
        " *", " */", "",
    ]


def cont(text):
    """A line continued at column 76."""
    return text.ljust(76) + "\\"


def suffix(k):
    return "_%dPARAM" % k if k else ""


def declaration_head(k, body):
    fixed_types = "".join(", p%dtype" % i for i in range(k))
    first = cont("#define QIRT_FORMAT_DECLARE_SAFE%s(variant, formattype, rettype, " % suffix(k))
    second = "    fname%s)" % fixed_types
    return [first, cont(second + " ") if body else second]


def format_lists(m):
    """Per argument count n: the template head, signature, types and arguments,
    each list grown from the one before."""
    lists, sig, types, args, names = [], "", "", "", []
    for n in range(m):
        template = "template <%s>" % ", ".join(names) if n else ""
        lists.append((template, sig, types, args))
        sig += ", T%d t%d" % (n, n)
        types += ", T%d" % n
        args += ", t%d" % n
        names.append("typename T%d" % n)
    return lists


def wrapper(fixed_sig, fixed_arg, n, template, sig, types, args):
    return [
        cont("    %s " % template),
        cont("        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG "),
        cont("            %sformattype format%s) " % (fixed_sig, sig)),
        "    {" + " " * 71 + "\\",
        cont("        qirt::verify##variant##FormatString (format, "),
        cont("            qirt::typelist%d_t <formattype%s>::value, " % (n, types)),
        cont("            %d _QIRT_FILELINEFUNC_PARAM); " % n),
        cont("        return fname (%sformat%s); " % (fixed_arg, args)),
        "    }" + " " * 71 + "\\",
    ]


def begin_header(f, m, names):
    lines = head("format_definition_begin.hpp")
    lines += ["#ifdef __cplusplus", "", "#include <qirt/format.hpp>", "", "#ifdef QIRT_FORMAT_CHECK", ""]
    lines += ["#undef " + name for name in reversed(names)]
    lines += ["", "", "#define QIRT_FORMAT_USING(ns,x) using ns::_safe_##x;", ""]
    lists = format_lists(m)
    for k in range(f + 1):
        fixed_sig = "".join("p%dtype p%d, " % (i, i) for i in range(k))
        fixed_arg = "".join("p%d, " % i for i in range(k))
        lines += declaration_head(k, True)
        for n in range(m):
            lines += wrapper(fixed_sig, fixed_arg, n, *lists[n])
        lines += ["", ""]
    lines += ["", "", "#else // #ifdef QIRT_FORMAT_CHECK", "", "#define QIRT_FORMAT_USING(ns,x)", ""]
    empty = [line for k in range(f + 1) for line in declaration_head(k, False)]
    lines += empty
    lines += ["", "", "#endif // #ifdef QIRT_FORMAT_CHECK", "", "#else /* #ifdef __cplusplus */", "",
              "#define QIRT_FORMAT_USING(ns,x)", ""]
    lines += empty
    lines += ["", "", "#endif /* #ifdef __cplusplus */"]
    return lines


def end_header(f, names):
    lines = head("format_definition_end.hpp") + [""]
    for k in range(f + 1):
        name = "QIRT_FORMAT_DECLARE_SAFE" + suffix(k)
        lines += ["#ifdef " + name, " #undef " + name, "#endif"]
    lines += ["", "", "", "#ifdef __cplusplus", "", "#ifdef QIRT_FORMAT_CHECK", "",
              "#ifdef QIRT_FORMAT_CHECK_DEBUG", ""]
    for arguments in ("__FILE__, __LINE__, __FUNC__, ", ""):
        for name in reversed(names):
            lines += ["#define %s(...) \\" % name, "    _safe_%s (%s__VA_ARGS__)" % (name, arguments)]
        lines += ["", ""]
        if arguments:
            lines += ["#else // #ifdef QIRT_FORMAT_CHECK_DEBUG", ""]
    lines += ["#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG", "", "#endif // #ifdef QIRT_FORMAT_CHECK", "",
              "#endif /* #ifdef __cplusplus */"]
    return lines


def typelist_header(m):
    lines = head("format_typelist.hpp")
    lines += ["#ifndef _QIRT_FORMAT_TYPELIST_HPP", "#define _QIRT_FORMAT_TYPELIST_HPP", "",
              "#include <qirt/format.hpp>", "", "namespace qirt", "{", "",
              "template <typename CStringT>", "    struct typelist0_t",
              "{ static const unsigned* value; };", "template <typename CStringT>",
              "    const unsigned* typelist0_t <CStringT>::value = 0;", ""]
    typenames, types = "", ""
    for n in range(1, m):
        typenames += ("" if n == 1 else ", ") + "typename T%d" % (n - 1)
        types += ", T%d" % (n - 1)
        lines += ["template <typename CStringT, %s>" % typenames, "    struct typelist%d_t" % n,
                  "{ static const unsigned value[%d]; };" % n,
                  "template <typename CStringT, %s>" % typenames,
                  "    const unsigned typelist%d_t <CStringT%s>::value[%d] = {" % (n, types, n)]
        lines += ["        TypeID <T%d, CStringT>::value," % i for i in range(n)]
        lines += ["    };", ""]
    lines += ["", "", "} // namespace qirt", "", "#endif // _QIRT_FORMAT_TYPELIST_HPP"]
    return lines


def main():
    f, m, out = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    names = sys.argv[4:] or DEFAULT_NAMES
    for file_name, lines in (("format_definition_begin.hpp", begin_header(f, m, names)),
                             ("format_definition_end.hpp", end_header(f, names)),
                             ("format_typelist.hpp", typelist_header(m))):
        with open(os.path.join(out, file_name), "wb") as header:
            header.write((EOL.join(lines) + EOL).encode("utf-8"))


if __name__ == "__main__":
    main()
