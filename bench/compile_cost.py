#!/usr/bin/env python3
"""What checked calls cost a build: compile time, program size, relocations.

Compiles, side by side and interleaved, (a) a unit with <cstdio> and one
printf call and (b) a unit with about 200 mixed printf-family calls that
includes <string> and <stdexcept> itself, each in four variants: unrouted,
routed without QIRT_FORMAT_CHECK, checked, and checked with headers generated
with CompileTimeChecks = True. Reports the median CPU time of each (the
compiler's user and system time) and its ratio to the unrouted unit. Then
links the one-call program unchecked and checked, strips both and reports
their sizes and dynamic relocations.

--floor adds two variants that show what any check must cost the compiler
with these wrappers: a copy of the checked headers whose wrappers call, in
place of the checker, a function that is inlined and does nothing, and one
whose wrappers call an external function of no arguments, which checks
nothing but is a call like any check.

--instructions also counts, with valgrind, the instructions each compilation
executes (the driver, the compiler proper and the assembler together): the
same on every run, where CPU times on a shared machine vary by a tenth.

usage: bench/compile_cost.py [--build build-bench] [--runs 15] [--cxx g++] [--floor]
                             [--instructions]
"""
import argparse
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The five functions both units route, with their fixed parameters.
DECLARATIONS = """\
namespace checked {
QIRT_FORMAT_DECLARE_SAFE(Printf, const char*, int, printf)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, fprintf, FILE*)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Printf, const char*, int, sprintf, char*)
QIRT_FORMAT_DECLARE_SAFE_2PARAM(Printf, const char*, int, snprintf, char*, size_t)
QIRT_FORMAT_DECLARE_SAFE_1PARAM(Scanf, const char*, int, sscanf, const char*)
}
QIRT_FORMAT_USING(checked, printf)
QIRT_FORMAT_USING(checked, fprintf)
QIRT_FORMAT_USING(checked, sprintf)
QIRT_FORMAT_USING(checked, snprintf)
QIRT_FORMAT_USING(checked, sscanf)
"""

OPTIONS = """\
object Options: TPersistenceWrapper
  Persistent.FormatNames.Strings = (
    'printf'
    'fprintf'
    'sprintf'
    'snprintf'
    'sscanf')
  Persistent.CompileTimeChecks = {ctc}
end
"""

# Argument kinds of the mixed calls: printf specifier, scanf specifier,
# the variable's type.
KINDS = [
    ("%d", "%d", "int"),
    ("%u", "%u", "unsigned"),
    ("%ld", "%ld", "long"),
    ("%zu", "%zu", "size_t"),
    ("%lld", "%lld", "long long"),
    ("%f", "%lf", "double"),
    ("%s", "%15s", "char*"),
    ("%c", "%c", "char"),
    ("%p", None, "void*"),
    ("%hd", "%hd", "short"),
]


# What the wrappers of the --floor headers call instead of the checker.
FLOOR_CHECKS = {
    "floor_empty": "template <typename C>\n"
                   "inline void floor_check(const C*, const unsigned*, unsigned) {}\n",
    "floor_bare": "void floor_call();\ntemplate <typename C>\n"
                  "inline void floor_check(const C*, const unsigned*, unsigned) { floor_call(); }\n",
}


def units(routed, floor_check=""):
    """The sources of (a) and (b); `routed` puts the checking library between
    the standard headers and the code, `floor_check` defines what the --floor
    headers' wrappers call."""
    head = "#include <cstdio>\n"
    if routed:
        head += ('#include <qirt/format.hpp>\n' + floor_check +
                 '#include "format_definition_begin.hpp"\n'
                 '#include "format_typelist.hpp"\n' + DECLARATIONS +
                 '#include "format_definition_end.hpp"\n')
    one = head + 'int main() { printf("%d\\n", 5); }\n'
    rng = random.Random(1)
    body = []
    for n in range(200):
        kinds = [rng.choice(KINDS) for _ in range(rng.randint(0, 4))]
        function = rng.choice(["printf", "fprintf", "sprintf", "snprintf", "sscanf"])
        if function == "sscanf":
            kinds = [k for k in kinds if k[1] is not None]
            fmt = " ".join(k[1] for k in kinds)
            args = "".join(", &v.%s" % name(k) if k[2] != "char*" else ", v.text" for k in kinds)
        else:
            fmt = " ".join(k[0] for k in kinds) + " call %d\\n" % n
            args = "".join(", v.%s" % name(k) for k in kinds)
        prefix = {"printf": "", "fprintf": "stdout, ", "sprintf": "buffer, ",
                  "snprintf": "buffer, sizeof buffer, ", "sscanf": "input, "}[function]
        body.append('  %s(%s"%s"%s);' % (function, prefix, fmt, args))
    fields = "".join("  %s %s;\n" % (k[2], name(k)) for k in KINDS)
    many = (head + "#include <stdexcept>\n#include <string>\n\nstruct values_t {\n" + fields +
            "  char text[16];\n};\n\n")
    for start in range(0, 200, 20):
        many += ("void calls%d(values_t& v, char* buffer, const char* input) {\n" % start +
                 "\n".join(body[start:start + 20]) + "\n}\n\n")
    many += ("int main(int argc, char** argv) {\n  if (argc > 1) throw std::runtime_error("
             "std::string(argv[1]));\n}\n")
    return one, many


def name(kind):
    return "m%d" % KINDS.index(kind)


def cpu_seconds(command):
    """Runs `command` and returns the CPU time it took (user and system)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def instructions(command, work):
    """The instructions `command` and its children execute, counted by
    valgrind."""
    out = os.path.join(work, "callgrind.%p")
    subprocess.run(["valgrind", "--tool=callgrind", "--trace-children=yes",
                    "--callgrind-out-file=" + out] + command, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    total = 0
    for name in os.listdir(work):
        if name.startswith("callgrind."):
            with open(os.path.join(work, name)) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("summary:"))
            os.remove(os.path.join(work, name))
    return total


def relocations(binary):
    """The dynamic relocations: those the loader applies at every start
    (.rela.dyn) and the calls into shared libraries, bound when first made
    (.rela.plt)."""
    out = subprocess.run(["readelf", "-r", "-W", binary], check=True, capture_output=True,
                         text=True).stdout
    counts = {}
    for line in out.splitlines():
        if line.startswith("Relocation section") and " contains " in line:
            section = line.split("'")[1]
            counts[section] = int(line.split(" contains ")[1].split()[0])
    return counts.get(".rela.dyn", 0), counts.get(".rela.plt", 0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--cxx", default="g++")
    parser.add_argument("--floor", action="store_true",
                        help="also compile (b) with wrappers whose check is empty or a bare call")
    parser.add_argument("--instructions", action="store_true",
                        help="also count the instructions of each compilation with valgrind")
    parser.add_argument("--keep", metavar="DIR", help="write the units and headers into DIR and keep them")
    args = parser.parse_args()
    if args.instructions and not shutil.which("valgrind"):
        sys.exit("compile_cost.py: --instructions needs valgrind (apt-get install valgrind)")
    korven = os.path.join(args.build, "app", "korven")
    libs = [os.path.join(args.build, "checker", "libqirt_format.a"),
            os.path.join(args.build, "wyx", "tool", "libwyx_format.a")]
    include = os.path.join(ROOT, "checker", "include")

    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
        work = args.keep
    else:
        work = tempfile.mkdtemp(prefix="korven-compile-cost-")
    try:
        for ctc in ("False", "True"):
            directory = os.path.join(work, "headers_" + ctc)
            os.makedirs(directory, exist_ok=True)
            options = os.path.join(work, "options_%s.txt" % ctc)
            with open(options, "w") as f:
                f.write(OPTIONS.format(ctc=ctc))
            subprocess.run([korven, options, directory], check=True, stdout=subprocess.DEVNULL)
        if args.floor:
            # The same wrappers, calling floor_check where they call the checker.
            shutil.copytree(os.path.join(work, "headers_False"), os.path.join(work, "headers_floor"),
                            dirs_exist_ok=True)
            begin = os.path.join(work, "headers_floor", "format_definition_begin.hpp")
            with open(begin) as f:
                text = f.read()
            call = "qirt::verify##variant##FormatString ("
            if call not in text:
                sys.exit("compile_cost.py: the wrappers no longer call %s; --floor needs updating" % call)
            with open(begin, "w") as f:
                f.write(text.replace(call, "floor_check ("))
        sources = {}
        for kind in ["plain", "routed"] + (sorted(FLOOR_CHECKS) if args.floor else []):
            for unit, text in zip("ab", units(kind != "plain", FLOOR_CHECKS.get(kind, ""))):
                path = os.path.join(work, "%s_%s.cpp" % (unit, kind))
                with open(path, "w") as f:
                    f.write(text)
                sources[unit, kind] = path
        checked = ["-DQIRT_FORMAT_CHECK"]
        variants = [("unrouted", "plain", [], "False"),
                    ("routed, unchecked", "routed", [], "False"),
                    ("checked", "routed", checked, "False"),
                    ("checked, CompileTimeChecks", "routed", checked, "True")]
        floors = [("floor: check inlined, empty", "floor_empty", checked, "floor"),
                  ("floor: check a bare call", "floor_bare", checked, "floor")]

        def command(unit, variant, output="/dev/null", compile_only=True):
            _, kind, defines, headers = variant
            return ([args.cxx, "-std=c++17", "-O2", "-I" + include,
                     "-I" + os.path.join(work, "headers_" + headers)] + defines +
                    (["-c"] if compile_only else []) + [sources[unit, kind], "-o", output])

        jobs = [(unit, variant) for unit in "ab" for variant in variants]
        if args.floor:
            jobs += [("b", variant) for variant in floors]
        times = {job: [] for job in range(len(jobs))}
        for _ in range(args.runs + 1):  # the first round warms the caches
            order = list(range(len(jobs)))
            random.shuffle(order)
            for job in order:
                times[job].append(cpu_seconds(command(*jobs[job])))
        medians = {job: statistics.median(t[1:]) for job, t in times.items()}
        print("compile time (%s -O2, CPU seconds, median of %d interleaved runs)" %
              (args.cxx, args.runs))
        for job, (unit, variant) in enumerate(jobs):
            base = medians[jobs.index((unit, variants[0]))]
            print("  (%s) %-30s %7.1f ms  %5.2f x" % (unit, variant[0], medians[job] * 1000,
                                                     medians[job] / base))

        if args.instructions:
            counts = [instructions(command(*job), work) for job in jobs]
            print("compile instructions (valgrind: driver, compiler and assembler)")
            for job, (unit, variant) in enumerate(jobs):
                base = counts[jobs.index((unit, variants[0]))]
                print("  (%s) %-30s %7.1f M   %5.2f x" % (unit, variant[0], counts[job] / 1e6,
                                                        counts[job] / base))

        print("one-call program, stripped (relocations applied at start, and calls bound lazily)")
        sizes = {}
        for label, variant in (("unchecked", variants[0]), ("checked", variants[2])):
            binary = os.path.join(work, "one_" + label)
            subprocess.run(command("a", variant, binary, compile_only=False) + libs, check=True)
            subprocess.run(["strip", binary], check=True)
            sizes[label] = (os.path.getsize(binary),) + relocations(binary)
            print("  %-10s %8d bytes  %5d + %3d dynamic relocations" % ((label,) + sizes[label]))
        difference = tuple(c - u for c, u in zip(sizes["checked"], sizes["unchecked"]))
        print("  difference %8d bytes  %5d + %3d dynamic relocations" % difference)
    finally:
        if not args.keep:
            shutil.rmtree(work)


if __name__ == "__main__":
    sys.exit(main())
