# What the tests on a real desktop share, sourced by them: a private X server with a
# window manager (and a tray where asked), the program's environment, and the waits and
# look-ups they all make. The sourcing script sets `work` (its temporary folder) first and
# may set `pid` to the program it started; everything is ended on exit.

# Skips the test (77) unless every tool named is installed.
need_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
    done
}

desktop_cleanup() {
    kill -TERM "${pid:-}" 2>/dev/null || true
    wait "${pid:-}" 2>/dev/null || true
    kill "${target_pid:-}" "${tray_pid:-}" "${wm_pid:-}" "${x_pid:-}" 2>/dev/null || true
    [ -n "${work:-}" ] && rm -rf "$work"
    return 0
}
trap desktop_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "${work:-}/err" ] && sed 's/^/  program: /' "$work/err" >&2
    exit 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq 1 "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb of size $1 on the first free display, openbox on it, and trayer with "tray".
# Every Qt program started afterwards, test windows too, goes to this X server.
start_desktop() {
    local size=$1
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    x_pid=$!
    read -r -t 20 number <&"$fd" || fail "Xvfb did not start"
    export DISPLAY=":$number"
    export QT_QPA_PLATFORM=xcb
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    wait_for 100 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window" || fail "no window manager"
    if [ "${2:-}" = tray ]; then
        trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
        tray_pid=$!
        wait_for 100 sh -c "xwininfo -root -tree | grep -q panel" || fail "trayer did not come up"
    fi
}

# The program's files in the test's folder, boxes answered at once, no session bus.
program_environment() {
    export SARVENDO_HOME="$work/home"
    export SARVENDO_AUTO_ANSWER=yes
    export XDG_RUNTIME_DIR="$work/run"
    unset DBUS_SESSION_BUS_ADDRESS
    mkdir -p "$SARVENDO_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# The managed top-level window named exactly $1.
client_of() {
    for candidate in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        if xprop -id "$candidate" _NET_WM_NAME | grep -q "= \"$1\"\$"; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

# The absolute upper left of a window's own area.
position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# The program's icon embedded in the tray, as "ID X Y" of its upper left corner.
tray_icon() {
    local line=""
    for _ in $(seq 1 100); do
        line=$(xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ .*: \(.*\) +2[0-4]x2[0-4]\+' | grep -iv panel | tail -n 1 || true)
        [ -n "$line" ] && break
        sleep 0.1
    done
    [ -n "$line" ] || return 1
    local id
    id=$(awk '{print $1}' <<<"$line")
    echo "$id $(position "$id")"
}

# Another program's window named $2, $3 x $4, made by the caption probe $1; its id is left
# in `target`. A window that does not come up is made once more before the test fails,
# and what the probe said is shown then.
start_test_window() {
    local probe=$1 name=$2
    for attempt in 1 2; do
        "$probe" window "$name" "$3" "$4" >>"$work/probe.err" 2>&1 &
        target_pid=$!
        if wait_for 150 client_of "$name"; then
            target=$(client_of "$name")
            return 0
        fi
        echo "note: the test window did not come up (attempt $attempt)" >&2
        kill "$target_pid" 2>/dev/null || true
        wait "$target_pid" 2>/dev/null || true
    done
    sed 's/^/  test window: /' "$work/probe.err" >&2
    fail "the test window did not appear"
}
