#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Mutation runner: how many realistic faults in the library the test suite catches.

Applies the mutants of tests/mutants.txt to the sources one at a time,
rebuilds, runs the offscreen suite with a time limit, restores the source and
reports each mutant as killed, survived or not built, then a summary line.
A mutant the suite misses meets the fuzzers' seeds too, each run once under
the sanitizers (scripts/test-fuzz.sh with FUZZ_SECONDS=0): the host sessions
the host fuzzer holds are part of the suite. Run on demand, not in CI; the
builds live in build-mutants/ and build-mutants-fuzz/ (or --build).

    scripts/mutate.py [--build DIR] [--timeout SECONDS] [NUMBER ...]
    scripts/mutate.py --check     # only that every mutant still applies
    scripts/mutate.py --matrix    # the whole suite for each mutant: which test
                                  # functions fail (a kill matrix)
    scripts/mutate.py --generated [--count N] [NUMBER ...]
                                  # a sample of mutants that standard operators
                                  # make on the syntax tree (generate_mutants.py)
    scripts/mutate.py --generated --check
                                  # the sample's size, and that every listed
                                  # equivalent is still a mutant of the sources

Generated mutants listed in tests/mutants-equivalent.txt, each with the
reason why nobody could tell it from the library, are left out of the run
and of the rate; the survivors of a generated run are written to
<build>/survivors.txt.

A mutant is a block of four lines in tests/mutants.txt: what the fault is,
the file, the text to replace and its replacement. The text must occur once
in the file; a blank in it matches any run of white space, line breaks
included, so that it can reach across lines. \\n in a replacement stands for
a line break.
"""
import argparse
import os
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
# The generated sample's seed: the same sources give the same sample.
SEED = 20261208


def read_mutants():
    blocks = (ROOT / "tests" / "mutants.txt").read_text(encoding="utf-8").split("\n\n")
    mutants = []
    for block in blocks:
        lines = [line for line in block.splitlines() if not line.startswith("# ")]
        if not lines:
            continue
        if len(lines) != 4:
            sys.exit("mutants.txt: a mutant is four lines:\n" + block)
        what, path, old, new = (line.strip() for line in lines)
        pattern = re.compile(r"\s+".join(re.escape(word) for word in old.split()))
        mutants.append((what, path, pattern, new.replace("\\n", "\n")))
    return mutants


def read_equivalents():
    """The names of the generated mutants listed as equivalent, with their reasons."""
    names, reasons = [], {}
    for line in (ROOT / "tests" / "mutants-equivalent.txt").read_text(encoding="utf-8").splitlines():
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("    ") and names:
            reasons[names[-1]] = line.strip()
        else:
            names.append(line)
    missing = [name for name in names if name not in reasons]
    if missing:
        sys.exit("mutants-equivalent.txt: these have no reason indented under them:\n" + "\n".join(missing))
    return reasons


def hand_written(written, numbers):
    """The mutants of tests/mutants.txt as (number, what, path, edit of the source's bytes)."""
    return [(number, what, path, lambda text, p=pattern, n=new: p.sub(lambda _: n, text.decode()).encode())
            for number, (what, path, pattern, new) in enumerate(written, 1)
            if not numbers or number in numbers]


def run(command, timeout, cwd, output=None, env=None):
    # A session of its own, so that a test hanging in a window goes with it.
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=output or subprocess.DEVNULL,
                               stderr=subprocess.STDOUT if output else subprocess.DEVNULL, start_new_session=True)
    try:
        return process.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def failing_tests(output):
    """The QtTest rows (Class::function(row)) and the CTest entries that failed in 'output'."""
    pattern = r"FAIL!  : ([\w:]+\([^()]*\))|Test +#\d+: (\S+) .*\*\*\*(?:Exception|Timeout|Failed)"
    return {row or entry for row, entry in re.findall(pattern, output)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build-mutants"))
    parser.add_argument("--timeout", type=int, default=120, help="for the whole suite, per mutant")
    parser.add_argument("--check", action="store_true", help="only check that every mutant applies, then stop")
    parser.add_argument("--matrix", action="store_true", help="run the whole suite per mutant, name what fails")
    parser.add_argument("--generated", action="store_true", help="mutants made by standard operators instead")
    parser.add_argument("--count", type=int, default=300, help="the generated sample's size")
    parser.add_argument("numbers", nargs="*", type=int, help="run only these mutants (1-based)")
    args = parser.parse_args()
    build = pathlib.Path(args.build)
    # Stopped from outside, the source being mutated is still put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))

    if not args.generated:
        written = read_mutants()
        stale = []
        for number, (what, path, pattern, _) in enumerate(written, 1):
            source = ROOT / path
            count = len(pattern.findall(source.read_text(encoding="utf-8"))) if source.exists() else 0
            if count != 1:
                stale.append(f"mutants.txt: mutant {number} '{what}': its text occurs {count} times in {path}")
        if stale:
            sys.exit("\n".join(stale))
        if args.check:
            print(f"mutants.txt: all {len(written)} mutants apply")
            return 0

    # Debug: unoptimised code builds faster, and behaves the same. A check of
    # the generated sample reads an existing build's compile commands as they are.
    if not (args.generated and args.check):
        subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Debug"], check=True,
                       stdout=subprocess.DEVNULL)
    if args.generated:
        import generate_mutants

        # Named over all of them, so that a mutant's name does not depend on the sample.
        candidates = generate_mutants.named(generate_mutants.all_mutants(ROOT, build))
        equivalents = read_equivalents()
        stale = sorted(set(equivalents) - {m.what for m in candidates})
        if stale:
            sys.exit("mutants-equivalent.txt: these are no mutants of the sources any more:\n" + "\n".join(stale))
        chosen = generate_mutants.sample(ROOT, candidates, args.count, SEED)
        listed = sum(m.what in equivalents for m in chosen)
        if args.check:
            print(f"generated: {len(chosen)} mutants in the sample, {listed} of them listed as equivalent; "
                  f"all {len(equivalents)} listed equivalents are mutants of the sources")
            return 0
        mutants = [(number, m.what, m.path, lambda text, m=m: text[:m.start] + m.replacement.encode() + text[m.end:])
                   for number, m in enumerate(chosen, 1)
                   if (not args.numbers or number in args.numbers) and m.what not in equivalents]
    else:
        mutants = hand_written(written, args.numbers)
    build_command = ["cmake", "--build", build, "-j2"]
    # A kill matrix needs every failure and its output; a tally only the first.
    suite = ["ctest", "-LE", "xcb", "-j2", "--timeout", "30",
             "--output-on-failure" if args.matrix else "--stop-on-failure"]
    seeds = [ROOT / "scripts" / "test-fuzz.sh"]
    seeds_env = dict(os.environ, FUZZ_SECONDS="0", FUZZ_BUILD_DIR=f"{build}-fuzz")
    if not run(build_command, None, ROOT) or not run(suite, args.timeout, build):
        sys.exit("the suite does not pass without mutants")
    if not run(seeds, None, ROOT, env=seeds_env):
        sys.exit("the fuzzers' seeds do not pass without mutants")

    tally = {"killed": 0, "survived": 0, "not built": 0}
    survivors = []
    for number, what, path, edit in mutants:
        source = ROOT / path
        original = source.read_bytes()
        started = time.monotonic()
        failures = set()
        try:
            source.write_bytes(edit(original))
            if not run(build_command, None, ROOT):
                result = "not built"
            else:
                with tempfile.TemporaryFile() as log:
                    result = "survived" if run(suite, args.timeout, build, log if args.matrix else None) else "killed"
                    log.seek(0)
                    failures = failing_tests(log.read().decode(errors="replace"))
            # The fuzzers build anew for the mutant, which takes a minute.
            if result == "survived" and not run(seeds, args.timeout * 5, ROOT, env=seeds_env):
                result = "killed"
                failures = {"fuzz seeds"}
        finally:
            source.write_bytes(original)
        tally[result] += 1
        if result == "survived":
            survivors.append(what)
        label = what if what.startswith(path) else f"{path}: {what}"
        print(f"{number:3} {result:9} {time.monotonic() - started:5.0f}s  {label}", flush=True)
        if args.matrix and result == "killed":
            print("      by " + " ".join(sorted(failures)), flush=True)

    run(build_command, None, ROOT)
    tried = tally["killed"] + tally["survived"]
    rate = 100.0 * tally["killed"] / tried if tried else 0.0
    left_out = f", {listed} listed equivalents left out" if args.generated else ""
    print(f"{tally['killed']} killed, {tally['survived']} survived, {tally['not built']} not built{left_out}: "
          f"{rate:.1f} % of {tried} built mutants killed")
    if args.generated:
        (build / "survivors.txt").write_text("".join(what + "\n" for what in survivors), encoding="utf-8")
        print(f"survivors: {build / 'survivors.txt'}")
    return 0 if tally["survived"] == 0 and tally["not built"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
