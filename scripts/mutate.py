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
    parser.add_argument("numbers", nargs="*", type=int, help="run only these mutants (1-based)")
    args = parser.parse_args()
    build = pathlib.Path(args.build)
    # Stopped from outside, the source being mutated is still put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))

    mutants = read_mutants()
    stale = []
    for number, (what, path, pattern, _) in enumerate(mutants, 1):
        source = ROOT / path
        count = len(pattern.findall(source.read_text(encoding="utf-8"))) if source.exists() else 0
        if count != 1:
            stale.append(f"mutants.txt: mutant {number} '{what}': its text occurs {count} times in {path}")
    if stale:
        sys.exit("\n".join(stale))
    if args.check:
        print(f"mutants.txt: all {len(mutants)} mutants apply")
        return 0

    # Debug: unoptimised code builds faster, and behaves the same.
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Debug"], check=True,
                   stdout=subprocess.DEVNULL)
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
    for number, (what, path, pattern, new) in enumerate(mutants, 1):
        if args.numbers and number not in args.numbers:
            continue
        source = ROOT / path
        original = source.read_text(encoding="utf-8")
        started = time.monotonic()
        failures = set()
        try:
            source.write_text(pattern.sub(lambda _: new, original), encoding="utf-8")
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
            source.write_text(original, encoding="utf-8")
        tally[result] += 1
        print(f"{number:3} {result:9} {time.monotonic() - started:5.0f}s  {path}: {what}", flush=True)
        if args.matrix and result == "killed":
            print("      by " + " ".join(sorted(failures)), flush=True)

    run(build_command, None, ROOT)
    tried = tally["killed"] + tally["survived"]
    rate = 100.0 * tally["killed"] / tried if tried else 0.0
    print(f"{tally['killed']} killed, {tally['survived']} survived, {tally['not built']} not built: "
          f"{rate:.1f} % of {tried} built mutants killed")
    return 0 if tally["survived"] == 0 and tally["not built"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
