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
export LC_ALL=C.UTF-8

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
device=(--device "$dir/device.json")
check "sample device" 0 "ShowForWindow returned true" "" "${shots[@]}"
check "device file" 0 "tintwell-host: plug-in log: 墨水加密：获取墨水信息列表失败" \
    '{"inks": [{"name": "Cyan", "amount": 1}], "fail": {"inkList": true}}' "${shots[@]}" "${device[@]}"
check "language" 0 "Language English; SetHost returned true" "" "${shots[@]}" --language 1
check "no display" 2 "tintwell-host: no display; --screenshot DIR saves pictures instead" ""
check "unknown language" 2 "$dir/Lang/Lang.ini offers no language 7" "" "${shots[@]}" --language 7
check "language no number" 2 "tintwell-host: --language takes a language number, not abc" "" \
    "${shots[@]}" --language abc
check "unknown option" 2 "tintwell-host: Unknown option 'bogus'." "" "${shots[@]}" --bogus
check "missing value" 2 "tintwell-host: Missing value after '--device'." "" "${shots[@]}" --device
check "extra argument" 2 "tintwell-host: unexpected argument extra" "" "${shots[@]}" extra
: >"$dir/blocker"
check "unwritable pictures" 1 "tintwell-host: cannot save $dir/blocker/host-window.png: " "" \
    --screenshot "$dir/blocker"
check "no library" 3 "tintwell-host: Cannot load library $dir/none" "" "${shots[@]}" --library "$dir/none"
check "not JSON" 2 "tintwell-host: device.json: unterminated object at byte 1" "{" "${shots[@]}" "${device[@]}"
bad() {
    check "$1" 2 "tintwell-host: device.json: $2" "$3" "${shots[@]}" "${device[@]}"
}
refill='"ink": "Cyan", "amount": 5, "month": 2, "day": 3, "hour": 4, "minute": 5, "second": 6'
bad "unknown key" 'unknown key "colour"' '{"inks": [], "colour": 1}'
bad "unknown ink key" 'inks[0]: unknown key "colour"' '{"inks": [{"name": "C", "amount": 1, "colour": 1}]}'
bad "limited a word" '"limited" must be true or false' '{"inks": [], "limited": "no"}'
bad "limited a number" '"limited" must be true or false' '{"inks": [], "limited": 0}'
bad "fail a word" '"fail.inkList" must be true or false' '{"inks": [], "fail": {"inkList": "yes"}}'
bad "no inks" '"inks" and, if given, "refillLog" must be arrays' '{"refillLog": []}'
bad "name a number" 'inks[0]: "name" must be a text of 1 to 127 bytes in the local code page, without NUL' \
    '{"inks": [{"name": 5, "amount": 1}]}'
bad "name with NUL" 'inks[0]: "name" must be a text of 1 to 127 bytes in the local code page, without NUL' \
    '{"inks": [{"name": "C\u0000y", "amount": 1}]}'
bad "negative amount" 'inks[0]: "amount" must be a number of millilitres, 0 or more' \
    '{"inks": [{"name": "Cyan", "amount": -1}]}'
bad "year missing" 'refillLog[0]: "year" must be a whole number from 1 to 9999' \
    "{\"inks\": [], \"refillLog\": [{$refill}]}"
bad "year a text" 'refillLog[0]: "year" must be a whole number from 1 to 9999' \
    "{\"inks\": [], \"refillLog\": [{$refill, \"year\": \"2025\"}]}"
bad "year fractional" 'refillLog[0]: "year" must be a whole number from 1 to 9999' \
    "{\"inks\": [], \"refillLog\": [{$refill, \"year\": 2025.5}]}"
bad "month out of range" 'refillLog[0]: "month" must be a whole number from 1 to 12' \
    "{\"inks\": [], \"refillLog\": [{${refill/\"month\": 2/\"month\": 13}, \"year\": 2025}]}"
bad "no real date" 'refillLog[0]: year, month and day must make a real date' \
    "{\"inks\": [], \"refillLog\": [{${refill/\"day\": 3/\"day\": 30}, \"year\": 2025}]}"

# The language switch changes the catalogue's DEFAULT line alone, in the
# catalogue's own encoding and byte-order mark, and prints the names right.
catalogue() { # ENCODING MARK DEFAULT
    printf '%s' "$2"
    printf '[LANG_MGR]\r\nDEFAULT=%s\r\nLANG0_NAME=简体中文\r\nLANG0_FOLDER=chs\r\nLANG0_SHOW=1\r\nLANG1_NAME=English\r\nLANG1_FOLDER=en\r\nLANG1_SHOW=1\r\n' "$3" |
        iconv -f UTF-8 -t "$1"
}
for encoding in "UTF-8 \xEF\xBB\xBF" "UTF-16LE \xFF\xFE" "GB2312 "; do
    set -- $encoding
    catalogue "$1" "$(printf "${2:-}")" 1 >"$dir/Lang/Lang.ini"
    catalogue "$1" "$(printf "${2:-}")" 0 >"$dir/expected.ini"
    check "language in $1" 0 "Language 简体中文; SetHost returned true" "" "${shots[@]}" --language 0
    cmp -s "$dir/Lang/Lang.ini" "$dir/expected.ini" ||
        { failed=$((failed + 1)); echo "FAIL language in $1: the catalogue is not what it was but for DEFAULT"; }
done

echo "host: $passed passed, $failed failed"
[ "$failed" = 0 ]
