#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program headless with a settings file it must not lose or replace, and
# with a FIFO where the ring log should be, and checks what the user is told and that
# every such file is left byte for byte as it was.
#   SettingsFileTest.sh PATH-TO-SARVENDO
set -euo pipefail

program=$(realpath "$1")
source "$(dirname "$0")/../lib/headless.sh"
trap 'kill -KILL "${pid:-}" 2>/dev/null || true; chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT

expect() {
    grep -qF -- "$1" "$work/err" || fail "no message: $1"
}

# 1. A settings file larger than the cap: said on stderr and in a box instead of the
#    welcome, the program runs on defaults, and the file survives the exit untouched.
{
    printf '[Sarvendo: Main]\r\nDefault Port=1\r\n'
    head -c $((1100 * 1024)) /dev/zero | tr '\0' ';'
} >"$ini"
cp "$ini" "$work/before"
start
expect "Sarvendo: the settings file $ini could not be read: it is larger than 1 MiB"
expect "Sarvendo message box: The settings file $ini could not be read"
grep -q 'WELCOME' "$work/err" && fail "a file that could not be read was greeted as a first start"
stop
expect "Sarvendo: the settings were not saved to $ini: it could not be read (it is larger than 1 MiB"
cmp -s "$ini" "$work/before" || fail "the oversized settings file was changed"

# 2. A FIFO in the file's place: no hang at start or exit, the same messages, and the
#    FIFO is still a FIFO.
rm "$ini"
mkfifo "$ini"
start 1
expect "Sarvendo: the settings file $ini could not be read: it is a FIFO, not a regular file"
stop
expect "Sarvendo: the settings were not saved to $ini: it could not be read (it is a FIFO, not a regular file)"
[ -p "$ini" ] || fail "the FIFO was replaced"

# 3. A settings file its owner made read-only: read, said once, and unchanged after a run
#    that changed a setting (the port on the command line).
rm "$ini"
printf '[Sarvendo: Main]\r\nShow Logo at Startup=0\r\n' >"$ini"
chmod 0444 "$ini"
cp -p "$ini" "$work/before"
start 1
expect "Sarvendo: $ini is read-only (mode 0444): the settings are read from it"
grep -q 'Sarvendo message box' "$work/err" && fail "a read-only file needs no box"
stop
[ "$(grep -c 'read-only' "$work/err")" -eq 1 ] || fail "the read-only file was not said exactly once"
cmp -s "$ini" "$work/before" || fail "the read-only settings file was changed"
[ "$(stat -c %a "$ini")" = 444 ] || fail "the read-only settings file lost its mode"

# 4. A FIFO as the ring log: a ring on the simulated modem ends in a box that says why,
#    the program keeps running and ends on request, and nothing reaches the FIFO.
chmod 0644 "$ini"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nLog RI=1\r\n' >"$ini"
printf '0.5 ring\n+1 ring\n' >"$work/rings"
mkfifo "$SARVENDO_HOME/Sarvendo.RI"
# A reader holds the FIFO open, so that a write would not fail but arrive.
cat "$SARVENDO_HOME/Sarvendo.RI" >"$work/fifo-got" &
reader=$!
SARVENDO_SIMULATE="$work/rings" start
for _ in $(seq 1 300); do
    grep -q 'Sarvendo message box: The log file' "$work/err" && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended after the ring"
    sleep 0.1
done
expect "Sarvendo message box: The log file $SARVENDO_HOME/Sarvendo.RI could not be written: it is a FIFO, not a regular file"
stop
kill "$reader" 2>/dev/null || true
wait "$reader" 2>/dev/null || true
[ ! -s "$work/fifo-got" ] || fail "the ring log record went into the FIFO"
[ -p "$SARVENDO_HOME/Sarvendo.RI" ] || fail "the FIFO was replaced"
echo "PASS"
