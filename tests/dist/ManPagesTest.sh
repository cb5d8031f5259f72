#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages as installed, rendered by man, against the programs' own --help: every
# option one names the other names too, so neither can drift from the program.
#   ManPagesTest.sh BUILD-DIR
set -euo pipefail

build=$(realpath "$1")
command -v man >/dev/null || { echo "SKIP: man is not installed (package man-db)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
}
root="$work/stage/usr"

# The options a text names: words that start with one or two dashes and a letter, and a
# lone "--", where they stand as words (not inside "sarvendo-notify" or "read-only").
options() {
    grep -oE '(^|[[:space:][(|])(--?[A-Za-z][-A-Za-z]*|--)([][:space:],.=)|]|$)' |
        sed -E 's/^[[:space:][(|]+//; s/[][:space:],.=)|]+$//' | sort -u
}

for page in sarvendo sarvendo-notify; do
    file="$root/share/man/man1/$page.1.gz"
    [ -f "$file" ] || fail "no $page.1.gz"
    # ASCII rendering, wide enough that no line is broken inside an option.
    LC_ALL=C MANWIDTH=200 man --warnings -l "$file" >"$work/$page.txt" 2>"$work/$page.warnings" ||
        fail "man -l $page.1.gz failed"
    [ ! -s "$work/$page.warnings" ] || fail "man -l $page.1.gz warns: $(cat "$work/$page.warnings")"
    # The options of the page are those its SYNOPSIS and OPTIONS sections name.
    awk '/^[A-Z][A-Z ]*$/ { section = $0; next } section == "SYNOPSIS" || section == "OPTIONS"' "$work/$page.txt" |
        options >"$work/$page.page"
    [ -s "$work/$page.page" ] || fail "$page(1) names no option at all"

    "$root/bin/$page" --help >"$work/$page.help" 2>&1 || fail "$page --help failed: $(cat "$work/$page.help")"
    options <"$work/$page.help" >"$work/$page.helped"
    if ! diff -u --label "$page(1)" --label "$page --help" "$work/$page.page" "$work/$page.helped"; then
        fail "$page(1) and $page --help name different options"
    fi
    grep -q "GNU General Public License, version 3 or" "$work/$page.help" || fail "$page --help does not name the licence"
    echo "ok: $page(1) and $page --help name $(tr '\n' ' ' <"$work/$page.page")"
done
echo "PASS"
