#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The docs of an installed package or unpacked SDK archive ($1) name no file
# of the project that the package lacks: every link, and every name written
# as a path of the source tree, leads to a file or folder beside them.
set -euo pipefail

docs=$1/share/doc/VqTintwell
missing=0
for doc in "$docs"/*.md; do
    while read -r name; do
        if [ ! -e "$docs/$name" ]; then
            echo "check-sdk-docs: $(basename "$doc") names $name, which the package lacks" >&2
            missing=1
        fi
    done < <(grep -oE '\]\([^)#]+|`[^` ]+`' "$doc" | sed -E 's/^\]\(//; s/`//g' |
        grep -E '^(\.\./)*(plugin|dialogs|res|log|lang|host|translations|testsupport|tests|bench|fuzz|examples|docs|scripts|cmake)/|^[^/]+\.md$' || true)
done
exit $missing
