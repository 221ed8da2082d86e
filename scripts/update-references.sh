#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the reference pictures of tests/dialogs/references/ from the
# Qt 5 (build/) and Qt 6 (build-qt6/) builds, building them first. Look at
# every picture before committing it: a reference is what the windows must
# look like from then on.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
for qt in 5 6; do
    build=$root/build
    [ "$qt" = 5 ] || build=$root/build-qt$qt
    BUILD_DIR=$build "$root/scripts/build.sh" -DVQTINTWELL_QT_MAJOR=$qt
    (cd "$build" && VQ_UPDATE_REFERENCES=1 ctest -R '^tst_dialogs(_150)?$' --output-on-failure)
done
git -C "$root" status --short tests/dialogs/references
