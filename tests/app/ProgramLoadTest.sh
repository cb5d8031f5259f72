#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the program brings in at start: the chart and sound libraries come with their
# modules when first needed, and the C++ standard streams, which would keep the C++
# library's locale machinery resident for the whole run, do not come at all.
#   tests/app/ProgramLoadTest.sh PROGRAM
set -euo pipefail
program=$1
needed=$(readelf -dW "$program" | awk '/NEEDED/ { gsub(/[][]/, "", $NF); print $NF }')
for library in libQt6Charts libQt6OpenGL libasound; do
    if grep -q "^$library" <<<"$needed"; then
        echo "FAIL: the program loads $library at start"
        exit 1
    fi
done
if nm -D --undefined-only "$program" | grep -q '_ZNSt8ios_base4InitC1Ev'; then
    echo "FAIL: the program sets up the C++ standard streams"
    exit 1
fi
echo "PASS"
