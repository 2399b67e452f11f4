#!/usr/bin/env python3
"""Random printf- and scanf-family calls, judged by g++ -Wformat.

  format_differential.py DIALECT SEED COUNT COMPILER OUT_DIR

writes into OUT_DIR, for the dialect (glibc, mingw or microsoft):
  calls_DIALECT.cpp  one call a line to functions declared with the format
                     attribute of that C library; compiled by COMPILER with
                     -fsyntax-only -Wformat
  cases_DIALECT.inc  the same calls as table rows for the checker's test:
                     line, family, format, argument types and g++'s verdict
                     with the warnings that made it

and as many calls again of the secure functions printf_s and scanf_s (see
SecureCall), whose verdict follows from g++'s and the rules they add.

A call is refused when g++ reports anything but flag misuse (a flag, width or
precision the C library ignores). Calls that touch a documented difference
between g++'s model of a C library and the library itself are not generated.
"""
import random
import re
import subprocess
import sys

# name, C++ type, and an expression of that type. Variables are declared
# extern, so nothing is evaluated and nothing warns about being unused.
VALUE_TYPES = [
    ("char", "char"), ("schar", "signed char"), ("uchar", "unsigned char"),
    ("short", "short"), ("ushort", "unsigned short"), ("int", "int"),
    ("uint", "unsigned"), ("long", "long"), ("ulong", "unsigned long"),
    ("llong", "long long"), ("ullong", "unsigned long long"), ("bool", "bool"),
    ("wchar", "wchar_t"), ("char16", "char16_t"), ("char32", "char32_t"),
    ("float", "float"), ("double", "double"), ("ldouble", "long double"),
    ("size", "std::size_t"), ("ptrdiff", "std::ptrdiff_t"), ("intmax", "std::intmax_t"),
    ("uintmax", "std::uintmax_t"), ("int64", "std::int64_t"), ("uint32", "std::uint32_t"),
    ("unscoped", "Unscoped"), ("shortenum", "ShortEnum"), ("scoped", "Scoped"),
    ("plain", "Plain"), ("view", "std::string_view"), ("func", "void (*)()"),
]
POINTER_TARGETS = [
    ("char", "char"), ("cchar", "const char"), ("schar", "signed char"),
    ("uchar", "unsigned char"), ("wchar", "wchar_t"), ("cwchar", "const wchar_t"),
    ("char16", "char16_t"), ("char32", "char32_t"), ("void", "void"), ("cvoid", "const void"),
    ("bool", "bool"), ("short", "short"), ("ushort", "unsigned short"), ("int", "int"),
    ("cint", "const int"), ("uint", "unsigned"), ("long", "long"), ("ulong", "unsigned long"),
    ("llong", "long long"), ("ullong", "unsigned long long"), ("float", "float"),
    ("double", "double"), ("ldouble", "long double"), ("size", "std::size_t"),
    ("ptrdiff", "std::ptrdiff_t"), ("intmax", "std::intmax_t"), ("charp", "char*"),
    ("ccharp", "const char*"), ("wcharp", "wchar_t*"), ("voidp", "void*"), ("plain", "Plain"),
    ("unscoped", "Unscoped"),
]
TYPES = dict(VALUE_TYPES)
TYPES.update({"p_" + name: target + "*" for name, target in POINTER_TARGETS})
TYPES["array"] = "char[8]"
TYPES["warray"] = "wchar_t[8]"
TYPES["nullptr"] = None  # the literal itself


def expression(name):
    return "nullptr" if name == "nullptr" else "v_" + name


# Types that a conversion with a size modifier likely wants; the rest of the
# draws come from all types, so most calls are near misses or right.
INTEGER_SIZES = {
    "": ["int", "uint", "short", "char", "bool", "unscoped", "shortenum", "wchar", "char32"],
    "hh": ["schar", "uchar", "char", "int"], "h": ["short", "ushort", "int"],
    "l": ["long", "ulong", "int64"], "ll": ["llong", "ullong", "int64"],
    "q": ["llong", "ullong"], "L": ["llong", "ullong"], "j": ["intmax", "uintmax", "long"],
    "z": ["size", "ptrdiff", "ulong"], "Z": ["size", "ulong"], "t": ["ptrdiff", "long"],
    "I": ["size", "ptrdiff", "int"], "I32": ["int", "uint", "long", "uint32"],
    "I64": ["llong", "ullong", "int64", "size"],
}


def likely_types(family, conversion, size):
    scan = family == "scanf"
    if conversion in "diouxXn" and conversion:
        names = INTEGER_SIZES.get(size, ["int"])
        if scan or conversion == "n":
            return ["p_" + n if "p_" + n in TYPES else "p_int" for n in names]
        return names
    if conversion in "aAeEfFgG":
        if scan:
            return {"l": ["p_double"], "L": ["p_ldouble", "p_double"]}.get(size, ["p_float"])
        return {"L": ["ldouble", "double"]}.get(size, ["double", "float"])
    if conversion in "sS[":
        names = ["p_char", "array", "p_uchar"] if scan else ["p_char", "p_cchar", "array", "p_schar"]
        wide = ["p_wchar", "warray"] + ([] if scan else ["p_cwchar"])
        if "m" in size:
            return ["p_wcharp"] if "l" in size else ["p_charp", "p_ccharp"]
        return wide + names if size in ("l", "w") or conversion == "S" else names + wide
    if conversion in "cC":
        if scan:
            return ["p_char", "p_wchar", "p_charp"]
        return ["int", "char", "wchar", "uint"]
    if conversion == "p":
        return ["p_voidp"] if scan else ["p_void", "p_cchar", "p_int", "nullptr", "p_plain"]
    return list(TYPES)


class Format:
    """One random format and the argument types drawn for it."""

    def __init__(self, rng, dialect, family, positional_chance=0.15):
        self.rng, self.dialect, self.family = rng, dialect, family
        self.scan = family == "scanf"
        self.positional = self.positions_allowed() and rng.random() < positional_chance
        self.text = ""
        self.slots = []  # (argument number or None, likely types)
        self.kinds = []  # the conversion of each slot, "*" for a star
        self.allocating = False  # some specifier has scanf's "m"
        self.counting = False  # some conversion is "%n"
        self.positioned = False  # some specifier names a position
        self.open_set = False  # a scan set is open: the rest is its text

    def positions_allowed(self):
        # The Microsoft library has no positions; MinGW's printf prints them.
        return self.dialect == "glibc" or (self.dialect == "mingw" and self.scan)

    def sizes(self, conversion):
        sizes = ["", "", "", "hh", "h", "l", "ll", "j", "z", "t", "L", "q", "Z"]
        if self.dialect != "glibc":
            sizes += ["I", "I32", "I64"]
        if self.rng.random() < 0.05:
            sizes += ["I16", "w", "H", "I", "I64", "lm"]  # mostly what no library knows
        if self.scan:
            sizes += ["m", "ml", "m"]
        if self.dialect == "microsoft":
            # g++ models the Microsoft library before C99; "h" on text is narrow
            # there, where g++ reads a short; the "I" sizes are for integers
            # only, where g++ lets "I32" pass on anything.
            sizes = [s for s in sizes if s not in ("hh", "j", "z", "t")]
            if conversion in "sScC[":
                sizes = [s for s in sizes if s != "h"]
            if conversion not in "diouxXn":
                sizes = [s for s in sizes if not s.startswith("I")]
        if self.dialect == "mingw":
            # MinGW reads "I" as a size prefix, g++ as a flag; its printf
            # prints "q" and "Z" as text.
            sizes = [s for s in sizes if not s.startswith("I")]
            if not self.scan:
                sizes = [s for s in sizes if s not in ("q", "Z")]
        return sizes

    def conversion(self):
        if self.rng.random() < 0.04:
            return self.rng.choice("yHbkK$")  # that no library knows
        base = "ddiuxXeffgcsspnCS%" + ("[[" if self.scan else "m")
        if self.dialect != "microsoft":
            base += "FaA"
        return self.rng.choice(base)

    def size(self, conversion):
        sizes = self.sizes(conversion)
        if self.rng.random() < 0.15:
            return self.rng.choice(sizes)
        fitting = {"d": INTEGER_SIZES, "f": ["", "l", "L"], "s": ["", "l", "m", "ml"],
                   "p": [""]}
        kind = next((k for k, group in (("d", "diouxXn"), ("f", "aAeEfFgG"), ("s", "sScC["))
                     if conversion in group), "p")
        return self.rng.choice([s for s in fitting[kind] if s in sizes] or [""])

    def flags(self):
        if self.scan:
            flags = "'" if self.dialect == "mingw" else "'I"
            return "**" + flags if self.dialect != "microsoft" else "*"
        flags = "-+ #0'"
        return flags + ("I" if self.dialect == "glibc" else "")

    def number(self):
        return str(self.rng.choice([1, 2, 5, 12, 3]))

    def star(self, argument):
        self.kinds.append("*")
        if self.positional:
            self.slots.append((argument, ["int"]))
            return "*%d$" % argument
        self.slots.append((None, ["int", "uint", "short", "long"]))
        return "*"

    def specifier(self, arguments):
        rng = self.rng
        conversion = self.conversion()
        out = "%"
        position = rng.randint(1, arguments) if self.positional else None
        if position:
            out += "%d$" % position
        out += "".join(rng.choice(self.flags()) for _ in range(rng.choice([0, 0, 0, 0, 1, 2])))
        width = rng.random()
        if width < 0.2:
            out += self.number()
        elif width < 0.3 and not self.scan:
            out += self.star(rng.randint(1, arguments))
        if not self.scan and rng.random() < 0.25:
            out += "." + rng.choice(["", "3", "0", "10", "*"])
            if out.endswith("*"):
                out = out[:-1] + self.star(rng.randint(1, arguments))
        size = self.size(conversion)
        out += size + conversion
        if conversion == "[":
            out += rng.choice(["a-z]", "^]x]", "]]", "^,]", "abc"])
        suppressed = self.scan and "*" in out.split("$")[-1][:2]
        # Inside a scan set left open, a specifier is only text.
        if not self.open_set:
            self.allocating |= self.scan and "m" in size
            self.counting |= conversion == "n"
            self.positioned |= position is not None
        if conversion == "[" and not out.endswith("]"):
            self.open_set = True
        if conversion != "%" and not suppressed:
            self.slots.append((position, likely_types(self.family, conversion, size)))
            self.kinds.append(conversion)
        return out

    def build(self):
        rng = self.rng
        arguments = rng.randint(1, 4)
        for _ in range(rng.choice([0, 1, 1, 2, 2, 3, 4])):
            self.text += rng.choice(["", "", " ", "x=", ", ", "%%", "\\n", "ab"])
            self.text += self.specifier(arguments)
        if rng.random() < 0.1:
            self.text += rng.choice(["%", " %", "%5", "%l", "%$", "%1$", "%-"])
        return self

    def arguments(self, mutate=True):
        rng = self.rng
        all_types = list(TYPES)
        def draw(likely):
            return rng.choice(likely if rng.random() < 0.85 else all_types)
        if self.positional:
            highest = max([p for p, _ in self.slots if p] + [0])
            chosen = {}
            for position, likely in self.slots:
                if position and position not in chosen:
                    chosen[position] = draw(likely)
            args = [chosen.get(n) or rng.choice(all_types) for n in range(1, highest + 1)]
        else:
            args = [draw(likely) for _, likely in self.slots]
        if not mutate:
            return args
        if rng.random() < 0.08 and args:
            args.pop(rng.randrange(len(args)))
        elif rng.random() < 0.08:
            args.insert(rng.randrange(len(args) + 1), rng.choice(all_types))
        return args[:4] if rng.random() < 0.9 else args


ATTRIBUTES = {
    "glibc": ("printf", "scanf"),
    "mingw": ("gnu_printf", "gnu_scanf"),
    "microsoft": ("ms_printf", "ms_scanf"),
}

# g++'s reports on flags, widths and precisions that the C library ignores;
# every other report refuses the call.
FLAG_MISUSE = re.compile(r"flag (used|ignored) with|repeated |together|"
                         r"(field width|precision|suppression) used with|zero-length")


def declarations():
    lines = [
        "struct Plain { int x; };", "enum Unscoped { kUnscoped };",
        "enum ShortEnum : short { kShortEnum };", "enum class Scoped : int { kScoped };",
    ]
    for name, cxx in TYPES.items():
        if cxx is None:
            continue
        if cxx.endswith("]"):
            base, _, bound = cxx.partition("[")
            lines.append("extern %s v_%s[%s;" % (base, name, bound))
        elif "(*)" in cxx:
            lines.append("extern void (*v_%s)();" % name)
        else:
            lines.append("extern %s v_%s;" % (cxx, name))
    return lines


def header(dialect):
    lines = ["#include <cstddef>", "#include <cstdint>", "#include <string_view>"] + declarations()
    for judge in sorted({dialect, secure_dialect(dialect)}):
        printf, scanf = ATTRIBUTES[judge]
        lines += [
            'extern "C" int %s_printf(const char*, ...) __attribute__((format(%s, 1, 2)));'
            % (judge, printf),
            'extern "C" int %s_scanf(const char*, ...) __attribute__((format(%s, 1, 2)));'
            % (judge, scanf)]
    return lines


def secure_dialect(dialect):
    """Whose conversions the secure functions follow: MinGW has none of its
    own, so a MinGW program calls the Microsoft library's."""
    return "microsoft" if dialect == "mingw" else dialect


# The secure functions (printf_s, scanf_s) are judged from the rules they
# add to their standard counterparts, which g++ judges: printf_s refuses
# "%n"; scanf_s takes no positions and no "m", and after the target of every
# c, C, s, S and [ a buffer size, unsigned int in the Microsoft library and
# size_t (C's rsize_t) elsewhere. g++ judges the sizes' types too, as the
# arguments of a printf call with one "%u" (or "%zu") for each.
SIZED = "cCsS["
SIZE_TYPES = ["uint", "uint", "uint", "int", "size", "ulong", "ushort", "llong", "ullong",
              "p_int", "p_uint", "bool", "scoped", "double"]


class SecureCall:
    def __init__(self, rng, dialect, family):
        judge = secure_dialect(dialect)
        self.family = family
        self.size_format = "%zu" if judge == "glibc" else "%u"
        scan = family == "scanf_s"
        positional = 0.05 if judge == "glibc" else 0.0
        fmt = Format(rng, judge, "scanf" if scan else "printf", positional).build()
        self.text = fmt.text
        plain = fmt.arguments(mutate=False)
        self.plain = plain
        positioned = fmt.positioned
        self.structure_ok = not (scan and (positioned or fmt.allocating)) and \
            not (not scan and fmt.counting)
        if not scan or positioned:
            self.args, self.sizes = list(plain), []
            return
        self.args, self.sizes = [], []
        sized_slots = [n for n, kind in enumerate(fmt.kinds) if kind in SIZED]
        for n, arg in enumerate(plain):
            self.args.append(arg)
            if n in sized_slots:
                size = "uint" if rng.random() < 0.7 else rng.choice(SIZE_TYPES)
                self.args.append(size)
                self.sizes.append(size)
        # Sizes where they do not belong, or missing: never right.
        mutation = rng.random()
        if mutation < 0.08 and self.sizes:
            position = rng.choice([n for n, a in enumerate(self.args) if n > 0 and
                                   self.args[n - 1] in plain and a in self.sizes] or [0])
            if position:
                del self.args[position]
                self.structure_ok = False
        elif mutation < 0.16:
            self.args.insert(rng.randrange(len(self.args) + 1), "uint")
            self.structure_ok = False
        self.args = self.args[:12]
        if len(self.args) < len(plain) + len(self.sizes):
            self.structure_ok = False
        # An empty format passes with any arguments, as g++ lets it.
        if not self.text:
            self.structure_ok = True


def generate(dialect, seed, count):
    rng = random.Random("%s/%d" % (dialect, seed))
    calls = []
    for index in range(count):
        family = "scanf" if index % 3 == 2 else "printf"
        fmt = Format(rng, dialect, family).build()
        calls.append((family, fmt.text, fmt.arguments()))
    secure = []
    for index in range(2 * (count // 3)):
        secure.append(SecureCall(rng, dialect, "scanf_s" if index % 2 == 0 else "printf_s"))
    return calls, secure


def compile_calls(compiler, path):
    result = subprocess.run([compiler, "-std=c++17", "-fsyntax-only", "-Wformat", path],
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("the calls do not compile:\n" + result.stderr[:4000])
    warnings = {}
    for match in re.finditer(r"^[^\n]*?:(\d+):\d+: warning: (.*)$", result.stderr, re.M):
        warnings.setdefault(int(match.group(1)), []).append(match.group(2))
    return warnings


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


FAMILIES = {"printf": "Printf", "scanf": "Scanf", "printf_s": "PrintfSecure",
            "scanf_s": "ScanfSecure"}


def main():
    dialect, seed, count, compiler, out_dir = sys.argv[1:6]
    calls, secure = generate(dialect, int(seed), int(count))
    lines = header(dialect) + ["void calls() {"]
    first = len(lines) + 1
    for family, text, args in calls:
        arguments = "".join(", " + expression(a) for a in args)
        lines.append("  %s_%s(\"%s\"%s);" % (dialect, family, text, arguments))
    # A secure call is judged on one line: its standard counterpart without
    # the sizes, then the sizes as printf arguments.
    judge = secure_dialect(dialect)
    for call in secure:
        arguments = "".join(", " + expression(a) for a in call.plain)
        line = "  %s_%s(\"%s\"%s);" % (judge, call.family[:-2], call.text, arguments)
        if call.sizes:
            line += " %s_printf(\"%s\"%s);" % (judge, " ".join([call.size_format] * len(call.sizes)),
                                               "".join(", " + expression(a) for a in call.sizes))
        lines.append(line)
    lines.append("}")
    calls_path = "%s/calls_%s.cpp" % (out_dir, dialect)
    with open(calls_path, "w") as f:
        f.write("\n".join(lines) + "\n")
    warnings = compile_calls(compiler, calls_path)

    rows = ["namespace differential_%s {" % dialect] + declarations() + [
        "const differential_case_t kCases[] = {"]
    everything = [(family, text, args, True) for family, text, args in calls] + \
        [(c.family, c.text, c.args, c.structure_ok) for c in secure]
    for index, (family, text, args, structure_ok) in enumerate(everything):
        line = first + index
        reports = warnings.get(line, [])
        refused = any(not FLAG_MISUSE.search(r) for r in reports) or not structure_ok
        if not structure_ok:
            reports = reports + ["a secure function's own rule"]
        types = "".join(", TypeID<decltype(%s), const char*>::value" % expression(a)
                        for a in args)
        rows.append("    {%d, kFamily%s, %s, %s, %s, %d, {0u%s}}," % (
            line, FAMILIES[family], c_string(text), "true" if refused else "false",
            c_string(" | ".join(reports)), len(args), types))
    rows += ["};", "}  // namespace differential_%s" % dialect]
    with open("%s/cases_%s.inc" % (out_dir, dialect), "w") as f:
        f.write("// Generated by format_differential.py %s %s %s; do not edit.\n"
                % (dialect, seed, count))
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
