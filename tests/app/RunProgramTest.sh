#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program headless on the simulated modem, the way a user would, and
# checks what a first start and a start with a port on the command line leave behind.
#   RunProgramTest.sh PATH-TO-SARVENDO PATH-TO-SARVENDO-NOTIFY
set -euo pipefail

program=$(realpath "$1")
notify=$(realpath "$2")
source "$(dirname "$0")/../lib/headless.sh"
trap 'kill -KILL "${pid:-}" "${bus_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# 1. First start: no INI file, no arguments. The welcome box, no port, and at exit only
#    the logo setting is written.
start
grep -q 'Sarvendo message box: WELCOME to Sarvendo for Windows 95! |  | All settings can be reached' "$work/err" ||
    fail "no welcome box"
grep -q 'You should start by selecting a "Port to Monitor" in the Setup & About Dialog, General Settings. $' \
    "$work/err" || fail "welcome text differs"
sleep 0.5
stop
[ "$(cat "$ini")" = "$(printf '[Sarvendo: Main]\r\nShow Logo at Startup=1\r')" ] ||
    fail "first start wrote more than the logo setting: $(cat -A "$ini")"

# 2. A port on the command line: it runs on the simulated modem without any box, and a
#    SIGTERM saves the port, its section in the key order and the logo setting.
start 1
sleep 1
grep -q 'Sarvendo message box' "$work/err" && fail "unexpected message box"
stop
tr -d '\r' <"$ini" >"$work/ini"
grep -qx 'Default Port=1' "$work/ini" || fail "no Default Port"
grep -qx 'Show Logo at Startup=1' "$work/ini" || fail "no Show Logo at Startup"
grep -qx '\[Sarvendo on COM1\]' "$work/ini" || fail "no port section"

expected_order="NewOrientation|Orientation Title|LampLook|LampLookTitle|Window Position X|Window Position Y|OnTop|\
AutoDelay|ModemInitString|InitModem|BackgroundColor|TextColor|LightColorOn|LightColorOff|RIPlaySound|RISound|\
ConnectSound|DisconnectSound|WarnInactiveSound|ConnectPlaySound|DisconnectPlaySound|WarnInactivePlaySound|\
Status in Display|SPY Speed in Display|Log RI|Log DCD|Display connect time|Display total connect time in Display|\
DCD Interval|Display connect time in Titlebar|Display total connect time in Titlebar|Timer Interval|No Title Bar|\
Title|TitleBar Offset|CD Auto Exit|CD Auto Exit Delay|Negotiation Delay|RD/TD Speed Update|Log total bytes|\
Warn when Exiting|Warn if Inactive|Warn time if Inactive|Warn time if Inactive, Seconds|Disconnect if Inactive|\
Disconnect time if Inactive|Disconnect time if Inactive, Seconds|Trigger RD|No Direct Hardware Acesss|ShowTrayIcon|\
TotalConnectNew|Run Lights|Alternative method for RD|Auto Run|Auto Run Program"
written=$(awk '/^\[Sarvendo on COM1\]$/ {inside = 1; next} /^\[/ {inside = 0} inside && /=/ {sub(/=.*/, ""); print}' \
    "$work/ini")
# Every written key must come in the expected order; the always-written ones must be there.
awk -v order="$expected_order" 'BEGIN {n = split(order, keys, "|"); for (i = 1; i <= n; i++) rank[keys[i]] = i}
    {if (!($0 in rank)) {print "unknown key " $0; exit 1} if (rank[$0] <= last) {print "out of order: " $0; exit 1}
     last = rank[$0]}' <<<"$written" || fail "port section keys: $written"
for key in NewOrientation "Timer Interval" TotalConnectNew "Auto Run"; do
    grep -qx "$key" <<<"$written" || fail "key $key missing"
done

# 3. A second copy while the first runs: it ends at once, touching nothing.
start 1
cp "$ini" "$work/before"
set +e
(cd "$work" && SARVENDO_AUTO_ANSWER=yes timeout 20 "$program" 2 2>"$work/second")
status=$?
set -e
[ "$status" -eq 0 ] || fail "second copy ended with $status"
grep -q 'Sarvendo message box' "$work/second" && fail "second copy showed a box"
cmp -s "$ini" "$work/before" || fail "second copy changed the settings"
stop

# 4. A refused port: the box, exit status 1, and the file is left as it was.
cp "$ini" "$work/before"
set +e
(cd "$work" && timeout 20 "$program" 7 2>"$work/err")
status=$?
set -e
[ "$status" -eq 1 ] || fail "refused start ended with $status"
grep -q 'Sarvendo message box: Port not available! Sarvendo95 will not start.' "$work/err" || fail "no refusal box"
cmp -s "$ini" "$work/before" || fail "a refused start changed the settings"

# 5. On the Linux line side with -AUTOCHECK, a port whose device does not exist is
#    refused. Every port is mapped to a missing device, so no real one is ever opened.
printf '[Sarvendo: Devices]\r\nCOM1=%s/no-tty1\r\nCOM2=%s/no-tty2\r\nCOM3=%s/no-tty3\r\nCOM4=%s/no-tty4\r\n' \
    "$work" "$work" "$work" "$work" >>"$ini"
cp "$ini" "$work/before"
set +e
(cd "$work" && SARVENDO_SIMULATE=0 timeout 20 "$program" 1 -autocheck 2>"$work/err")
status=$?
set -e
[ "$status" -eq 1 ] || fail "start on a missing device ended with $status"
grep -q 'Sarvendo message box: Port not available! Sarvendo95 will not start.' "$work/err" || fail "no refusal box"
cmp -s "$ini" "$work/before" || fail "a refused start changed the settings"

# 6. The dial-up notification through a private session bus: sarvendo-notify hands the
#    text over, and with "Run Lights" set the program starts "lights!.exe" with the
#    text's words as arguments, never through a shell.
if command -v dbus-daemon >/dev/null; then
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 <<<"$bus")
    bus_pid=$(tail -n1 <<<"$bus")
    mkdir -p "$work/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s"\n' "$work/lights-args" >"$work/bin/lights!.exe"
    chmod +x "$work/bin/lights!.exe"
    sed -i 's/^Run Lights=0\r$/Run Lights=1\r/' "$ini"
    PATH="$work/bin:$PATH" start 1
    "$notify" '12 345 $(touch' "$work/pwned)" || fail "sarvendo-notify failed"
    for _ in $(seq 1 100); do
        [ -s "$work/lights-args" ] && break
        sleep 0.1
    done
    [ "$(tr '\n' '|' <"$work/lights-args")" = "12|345|\$(touch|$work/pwned)|" ] ||
        fail "lights!.exe got: $(cat "$work/lights-args" 2>/dev/null)"
    [ ! -e "$work/pwned" ] || fail "the notification text reached a shell"
    stop
    # Without Sarvendo on the bus the sender says so.
    if "$notify" "1 2 x" 2>/dev/null; then
        fail "sarvendo-notify claimed delivery with no Sarvendo running"
    fi
    unset DBUS_SESSION_BUS_ADDRESS
fi
echo "PASS"
