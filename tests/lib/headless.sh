# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run the real program headless: a work folder, the simulated
# modem, a runtime directory of its own (so a copy the developer is running does not count
# as "already running") and no X server or session bus (so nothing of the developer's
# desktop is touched). The caller sets `program` first; it gets `work`, `ini`, `pid` and
# the functions below. Its EXIT trap must end "$pid" and remove "$work".

work=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
export SARVENDO_SIMULATE=1
export SARVENDO_HOME="$work/home"
export SARVENDO_AUTO_ANSWER=yes
export XDG_RUNTIME_DIR="$work/run"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
mkdir -p "$SARVENDO_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$SARVENDO_HOME/SARVENDO.INI"
pid=

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output ---" >&2
    if [ -f "$work/err" ]; then cat "$work/err" >&2; fi
    exit 1
}

# Starts the program with the given arguments and waits until its event loop runs.
start() {
    : >"$work/err"
    (cd "$work" && exec "$program" "$@") 2>"$work/err" &
    pid=$!
    for _ in $(seq 1 300); do
        grep -q "Sarvendo: event loop running" "$work/err" && return 0
        kill -0 "$pid" 2>/dev/null || fail "the program ended during start-up"
        sleep 0.1
    done
    fail "the program did not come up"
}

# Sends SIGTERM and expects an orderly exit with status 0 within ten seconds.
stop() {
    kill -TERM "$pid"
    local status=0
    timeout 10 tail --pid="$pid" -f /dev/null || fail "the program did not end after SIGTERM"
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
}
