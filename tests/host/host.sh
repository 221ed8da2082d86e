#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The reference host as an operator runs it, headless, from a directory of
# its own holding the host, the library and the Lang folder:
#   host.sh <bin dir of the build> <library file name> <the host's Lang.ini>
set -uo pipefail

bin=$1 library=$2 catalogue=$3
dir=$(mktemp -d "${TMPDIR:-/tmp}/tintwell-host.XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/Lang/chs" "$dir/Lang/en"
cp "$bin/tintwell-host" "$bin/$library" "$dir/"
cp "$bin/Lang/chs/VqTintwell.qm" "$dir/Lang/chs/"
cp "$bin/Lang/en/VqTintwell.qm" "$dir/Lang/en/"
cp "$catalogue" "$dir/Lang/Lang.ini"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

passed=0 failed=0
# check NAME STATUS EXPECTED DEVICE-JSON ARGUMENTS...: the run ends with
# STATUS and prints a line with EXPECTED (on standard output or error);
# a successful run saves its three pictures and hears nothing else on
# standard error but the plug-in's log lines.
check() {
    local name=$1 status=$2 expected=$3 device=$4
    shift 4
    printf '%s' "$device" >"$dir/device.json"
    rm -rf "$dir/shots"
    "$dir/tintwell-host" "$@" >"$dir/out" 2>"$dir/err"
    local actual=$? problem=
    [ "$actual" = "$status" ] || problem="exit status $actual, not $status"
    grep -qF -- "$expected" "$dir/out" "$dir/err" || problem="$problem; no line '$expected'"
    if [ "$status" = 0 ]; then
        for picture in host-window ink-management refill-log; do
            [ -s "$dir/shots/$picture.png" ] || problem="$problem; no $picture.png"
        done
        ! grep -v '^tintwell-host: plug-in log: ' "$dir/err" || problem="$problem; more on standard error"
    fi
    if [ -z "$problem" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $name: $problem"
        cat "$dir/out" "$dir/err"
    fi
}

shots=(--screenshot "$dir/shots")
check "sample device" 0 "ShowForWindow returned true" "" "${shots[@]}"
check "device file" 0 "tintwell-host: plug-in log: 墨水加密：获取墨水信息列表失败" \
    '{"inks": [{"name": "Cyan", "amount": 1}], "fail": {"inkList": true}}' "${shots[@]}" --device "$dir/device.json"
check "language" 0 "Language English; SetHost returned true" "" "${shots[@]}" --language 1
check "no display" 2 "tintwell-host: no display; --screenshot DIR saves pictures instead" ""
check "unknown language" 2 "$dir/Lang/Lang.ini offers no language 7" "" "${shots[@]}" --language 7
check "no library" 3 "tintwell-host: Cannot load library $dir/none" "" "${shots[@]}" --library "$dir/none"
check "not JSON" 2 "tintwell-host: device.json: unterminated object at byte 1" "{" "${shots[@]}" --device "$dir/device.json"
check "negative amount" 2 'tintwell-host: device.json: inks[0]: "amount" must be a number of millilitres, 0 or more' \
    '{"inks": [{"name": "Cyan", "amount": -1}]}' "${shots[@]}" --device "$dir/device.json"
check "no real time" 2 "tintwell-host: device.json: refillLog[0]: year, month, day, hour, minute and second must make a real time" \
    '{"inks": [], "refillLog": [{"ink": "Cyan", "amount": 5, "year": 2025, "month": 2, "day": 30}]}' \
    "${shots[@]}" --device "$dir/device.json"

echo "host: $passed passed, $failed failed"
[ "$failed" = 0 ]
