#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs each one for FUZZ_SECONDS seconds (default 30),
# headless, on a copy of its seed corpus, so that the committed corpora stay
# as they are; FUZZ_SECONDS=0 runs each seed once. Any crash, sanitizer
# report, leak, time-out or broken check fails the run; the input that caused
# it is kept in $FUZZ_BUILD_DIR/fuzz-findings/<target>/ and printed in
# base64.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}
targets=(fuzz_catalogue fuzz_host)

# llvm brings llvm-symbolizer, which turns the reports' addresses into
# functions and lines.
"$root/scripts/deps.sh" clang libclang-rt-14-dev llvm

# Only the library and the fuzzers: no tests, host or benchmarks.
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVQTINTWELL_BUILD_FUZZ=ON -DBUILD_TESTING=OFF -DVQTINTWELL_BUILD_HOST=OFF >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

work=$(mktemp -d "${TMPDIR:-/tmp}/vq-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
findings=$build/fuzz-findings
rm -rf "$findings"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
if symbolizer=$(command -v llvm-symbolizer); then
    export ASAN_SYMBOLIZER_PATH=$symbolizer
fi

passed=0
failed=0
for target in "${targets[@]}"; do
    # The copy's directory is the fuzzer's application directory: the Lang
    # and Log folders it writes are this run's alone.
    dir=$work/$target
    mkdir -p "$dir/corpus" "$dir/artifacts" "$dir/tmp"
    cp "$build/fuzz/$target/$target" "$dir/"
    cp "$root/fuzz/corpus/$target/"* "$dir/corpus/"
    # The shipped translations, which the catalogue names.
    cp -r "$build/bin/Lang" "$dir/"

    # No time at all: each seed once, as a regression test.
    inputs=(-max_total_time="$seconds" corpus)
    [ "$seconds" != 0 ] || inputs=("$dir/corpus/"*)
    echo "== $target: ${seconds}s"
    status=0
    (cd "$dir" && TMPDIR=$dir/tmp "./$target" -timeout=20 -rss_limit_mb=2048 -max_len=8192 \
        -artifact_prefix="$dir/artifacts/" -print_final_stats=1 "${inputs[@]}" >"$dir/log" 2>&1) ||
        status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$dir/log" || true

    if [ "$status" -eq 0 ] && [ -z "$(ls -A "$dir/artifacts")" ]; then
        passed=$((passed + 1))
        continue
    fi
    failed=$((failed + 1))
    echo "!! $target failed (exit status $status); the end of its output:"
    tail -n 60 "$dir/log"
    mkdir -p "$findings/$target"
    cp "$dir/log" "$findings/$target/"
    for artifact in "$dir/artifacts/"*; do
        [ -e "$artifact" ] || continue
        cp "$artifact" "$findings/$target/"
        echo "-- $(basename "$artifact") (base64):"
        base64 -w 0 "$artifact"
        echo
    done
    echo "Reproduce: QT_QPA_PLATFORM=offscreen $build/fuzz/$target/$target $findings/$target/<file>"
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
