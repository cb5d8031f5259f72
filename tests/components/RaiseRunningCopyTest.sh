#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The single-instance guard on a real X server: a second copy of the program brings the
# running copy's window back, restoring it when minimised or hidden in the tray, and ends
# at once. No session bus runs: the second copy reaches the first through the socket
# beside the lock.
#   RaiseRunningCopyTest.sh PATH-TO-SARVENDO
# Needs Xvfb, openbox, trayer, xdotool, xwininfo and xprop; without them the test is
# skipped (77).
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools Xvfb openbox trayer xdotool xwininfo xprop
work=$(mktemp -d)
start_desktop 800x600
program_environment
export SARVENDO_SIMULATE=1

start_first() { # $1: extra lines of the COM1 section
    printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\n%b' "$1" \
        >"$SARVENDO_HOME/SARVENDO.INI"
    : >"$work/err"
    (cd "$work" && exec timeout --foreground -k 5 100 "$program") 2>"$work/err" &
    pid=$!
    wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the first copy did not come up"
    wait_for 150 client_of Sarvendo || fail "no managed window titled Sarvendo"
    window=$(client_of Sarvendo)
}
second_start() {
    timeout 20 "$program" "$@" 2>"$work/second" || fail "second copy ended with $?"
}
not_iconic() { ! iconic "$window"; }
active() { [ "$(($(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*$')))" = "$((window))" ]; }
not_active() { ! active; }

# Minimised: the second copy restores it, and touches no setting.
start_first ""
xdotool windowminimize "$window"
wait_for 50 iconic "$window" || fail "could not minimise the first copy"
cp "$SARVENDO_HOME/SARVENDO.INI" "$work/before"
second_start 2
wait_for 50 not_iconic || fail "the first copy stayed minimised"
cmp -s "$SARVENDO_HOME/SARVENDO.INI" "$work/before" || fail "the second copy touched the settings"

# Not minimised, but another program's window is active: the second copy activates the
# first copy's window.
if command -v xmessage >/dev/null; then
    xmessage -title Other "another program" 2>/dev/null &
    target_pid=$!
    wait_for 100 xdotool search --name '^Other$' || fail "the other window did not appear"
    xdotool windowactivate "$(xdotool search --name '^Other$' | head -n 1)"
    wait_for 50 not_active || fail "could not activate another window"
    second_start
    wait_for 50 active || fail "the first copy was not brought to the top"
fi
kill -0 "$pid" || fail "the first copy ended"
kill -TERM "$pid"
wait "$pid" || fail "the first copy did not end cleanly"
pid=""

# Hidden in the tray, where no window manager can find it: the second copy asks the
# first to show itself.
start_tray
start_first "ShowTrayIcon=1\r\n"
tray_icon >/dev/null || fail "no tray icon"
xdotool windowminimize "$window"
unlisted() { ! listed "$window"; }
wait_for 50 unlisted || fail "minimising did not hide the window to the tray"
second_start
wait_for 50 viewable "$window" || fail "the second copy did not bring the first back from the tray"
kill -TERM "$pid"
wait "$pid" || fail "the first copy did not end cleanly"
pid=""
echo "PASS"
