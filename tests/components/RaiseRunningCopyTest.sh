#!/usr/bin/env bash
# The single-instance guard on a real X server: a second copy of the program brings the
# running copy's window back, restoring it when minimised or hidden in the tray, and ends
# at once.
#   RaiseRunningCopyTest.sh PATH-TO-SARVENDO
# Needs Xvfb, openbox, xdotool and xprop; without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
for tool in Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
work=$(mktemp -d)
cleanup() {
    kill -TERM "${pid:-}" 2>/dev/null || true
    kill "${wm_pid:-}" "${x_pid:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A private X server on the first free display number.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
x_pid=$!
read -r -t 20 number <&"$fd" || fail "Xvfb did not start"
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 1

export QT_QPA_PLATFORM=xcb
export SARVENDO_SIMULATE=1
export SARVENDO_HOME="$work/home"
export SARVENDO_AUTO_ANSWER=yes
export XDG_RUNTIME_DIR="$work/run"
unset DBUS_SESSION_BUS_ADDRESS
mkdir -p "$SARVENDO_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n' >"$SARVENDO_HOME/SARVENDO.INI"

(cd "$work" && exec "$program") 2>"$work/err" &
pid=$!
for _ in $(seq 1 200); do
    grep -q "Sarvendo: event loop running" "$work/err" && break
    sleep 0.1
done
grep -q "Sarvendo: event loop running" "$work/err" || fail "the first copy did not come up"

window=""
for _ in $(seq 1 50); do
    for candidate in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        if xprop -id "$candidate" _NET_WM_NAME | grep -q '= "Sarvendo"$'; then
            window=$candidate
        fi
    done
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no managed window titled Sarvendo"

iconic() { xprop -id "$window" WM_STATE | grep -q 'window state: Iconic'; }

# Minimised: the second copy restores it.
xdotool windowminimize "$window"
for _ in $(seq 1 50); do iconic && break; sleep 0.1; done
iconic || fail "could not minimise the first copy"
cp "$SARVENDO_HOME/SARVENDO.INI" "$work/before"
timeout 20 "$program" 2 2>"$work/second" || fail "second copy ended with $?"
for _ in $(seq 1 50); do iconic || break; sleep 0.1; done
iconic && fail "the first copy stayed minimised"
cmp -s "$SARVENDO_HOME/SARVENDO.INI" "$work/before" || fail "the second copy touched the settings"

# Not minimised, but another program's window is active: the second copy activates the
# first copy's window.
active() { xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*$'; }
if command -v xmessage >/dev/null; then
    xmessage -title Other "another program" 2>/dev/null &
    other_pid=$!
    other=""
    for _ in $(seq 1 50); do
        other=$(xdotool search --name '^Other$' 2>/dev/null | head -n1) && [ -n "$other" ] && break
        sleep 0.1
    done
    [ -n "$other" ] || fail "the other window did not appear"
    xdotool windowactivate "$other" 2>/dev/null || true
    for _ in $(seq 1 50); do [ "$(active)" != "$window" ] && break; sleep 0.1; done
    [ "$(active)" != "$window" ] || fail "could not activate another window"
    timeout 20 "$program" 2>"$work/second" || fail "second copy ended with $?"
    for _ in $(seq 1 50); do [ "$((16#${window#0x}))" = "$(($(active)))" ] && break; sleep 0.1; done
    [ "$((16#${window#0x}))" = "$(($(active)))" ] || fail "the first copy was not brought to the top"
    kill "$other_pid" 2>/dev/null || true
fi
kill -0 "$pid" || fail "the first copy ended"
kill -TERM "$pid"
wait "$pid" || fail "the first copy did not end cleanly"
pid=

# Hidden in the tray, where no window manager can find it: the second copy asks the
# first over the session bus to show itself.
if command -v dbus-daemon >/dev/null && command -v trayer >/dev/null; then
    trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
    tray_pid=$!
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 <<<"$bus")
    bus_pid=$(tail -n1 <<<"$bus")
    printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\n' \
        >"$SARVENDO_HOME/SARVENDO.INI"
    : >"$work/err"
    (cd "$work" && exec "$program") 2>"$work/err" &
    pid=$!
    for _ in $(seq 1 200); do
        grep -q "Sarvendo: event loop running" "$work/err" && break
        sleep 0.1
    done
    window=""
    for _ in $(seq 1 50); do
        for candidate in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
            xprop -id "$candidate" _NET_WM_NAME | grep -q '= "Sarvendo"$' && window=$candidate
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window of the copy with a tray icon"
    viewable() { xwininfo -id "$window" | grep -q IsViewable; }
    sleep 1 # the bus name is taken once the event loop runs
    xdotool windowminimize "$window"
    for _ in $(seq 1 50); do viewable || break; sleep 0.1; done
    viewable && fail "minimising did not hide the window to the tray"
    timeout 20 "$program" 2>"$work/second" || fail "second copy ended with $?"
    for _ in $(seq 1 50); do viewable && break; sleep 0.1; done
    viewable || fail "the second copy did not bring the first back from the tray"
    kill -TERM "$pid"
    wait "$pid" || fail "the first copy did not end cleanly"
    pid=
    kill "$tray_pid" "$bus_pid" 2>/dev/null || true
else
    echo "note: no dbus-daemon or trayer, the tray case was not tried"
fi
echo "PASS"
