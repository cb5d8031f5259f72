# SPDX-License-Identifier: GPL-3.0-or-later
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
    kill "${target_pid:-}" "${cover_pid:-}" "${tray_pid:-}" "${wm_pid:-}" "${x_pid:-}" "${bar_pid:-}" "${sway_pid:-}" \
        "${keys_pid:-}" "${bus_pid:-}" 2>/dev/null || true
    [ -n "${work:-}" ] && rm -rf "$work"
    return 0
}
trap desktop_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "${work:-}/err" ] && sed 's/^/  program: /' "$work/err" >&2
    # What the X server held of the program's windows, for a failure that does not repeat.
    if [ -n "${DISPLAY:-}" ] && [ -n "${x_pid:-}" ]; then
        xwininfo -root -tree 2>/dev/null | grep '("sarvendo"' | while read -r id _; do
            echo "  window $id: $(xwininfo -id "$id" | awk '/Map State/ {print $NF}') $(xprop -id "$id" WM_STATE _NET_WM_NAME 2>/dev/null | tr '\n' ' ')"
        done >&2
    fi
    exit 1
}

# Openbox now and then leaves a newly mapped window unmanaged until some other event
# reaches it: the map request waits, read but not yet handled, until the next event wakes
# its loop. A root property that changes wakes it.
nudge_window_manager() {
    [ -n "${DISPLAY:-}" ] && [ -n "${wm_pid:-}" ] || return 0
    xprop -root -f _DESKTOP_TEST_NUDGE 32c -set _DESKTOP_TEST_NUDGE "$RANDOM" 2>/dev/null || true
}

# Waits up to $1 tenths of a second for the command after it to succeed, waking the
# window manager once a second while it waits.
wait_for() {
    local tenths=$1 step=0
    shift
    for _ in $(seq 1 "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        step=$((step + 1))
        [ $((step % 10)) -eq 0 ] && nudge_window_manager
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
    wait_for 200 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "no window manager"
    if [ "${2:-}" = tray ]; then
        start_tray
    fi
}

# trayer as the tray host, and its end.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
    tray_pid=$!
    wait_for 100 sh -c "xwininfo -root -tree | grep -q panel" || fail "trayer did not come up"
}
stop_tray() {
    kill "$tray_pid" 2>/dev/null || true
    wait "$tray_pid" 2>/dev/null || true
    tray_pid=""
    wait_for 100 sh -c "! xwininfo -root -tree | grep -q panel" || fail "trayer did not go"
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

# Whether the managed window $1 is listed, viewable, iconic.
listed() { xprop -root _NET_CLIENT_LIST | grep -q "$(printf '0x%x' "$(($1))")"; }
viewable() { xwininfo -id "$1" | grep -q IsViewable; }
iconic() { xprop -id "$1" WM_STATE | grep -q 'window state: Iconic'; }

# The program's windows (class "sarvendo") on the screen, one id a line.
program_windows_shown() {
    for id in $(xwininfo -root -children | grep '("sarvendo"' | awk '{print $1}'); do
        xwininfo -id "$id" | grep -q IsViewable && echo "$id"
    done
    return 0
}
# Whether one of the program's windows is on the screen that was not among those listed
# in $1 (a popup menu, a dialog), whatever else went meanwhile.
new_program_window() { program_windows_shown | grep -vxF -f <(printf '%s\n' "$1") | grep -q .; }

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

# Runs the calling script ($1, with the arguments after it) once more as an unprivileged
# user where it runs as root, since sway refuses root, and ends with its status; as any
# other user it returns at once. The user is `nobody`, taken on by setpriv with a folder
# of its own: the script works in SARVENDO_TEST_WORK and leaves what is to be kept (the
# screenshots) in SARVENDO_TEST_KEEP, copied to the folder `keep_into` when that is set.
# Skips where that cannot be done.
run_unprivileged() {
    local script=$1
    shift
    [ "$(id -u)" = 0 ] || return 0
    command -v setpriv >/dev/null || { echo "SKIP: running as root, and no setpriv to run sway as another user"; exit 77; }
    id nobody >/dev/null 2>&1 || { echo "SKIP: running as root, and no user nobody to run sway as"; exit 77; }
    local group folder status=0
    group=$(id -gn nobody)
    # The sanitizers' settings go along, so a sanitizer build is judged as in the other tests.
    local passed=()
    for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
        [ -n "${!name:-}" ] && passed+=("$name=${!name}")
    done
    as_nobody() { setpriv --reuid=nobody --regid="$group" --clear-groups env -i PATH="$PATH" LANG=C.UTF-8 "${passed[@]}" "$@"; }
    for file in "$script" "$@"; do
        if [ -e "$file" ] && ! as_nobody test -r "$file"; then
            echo "SKIP: user nobody cannot read $file"
            exit 77
        fi
    done
    folder=$(mktemp -d)
    chmod 755 "$folder"
    chown "nobody:$group" "$folder"
    as_nobody SARVENDO_TEST_WORK="$folder/work" SARVENDO_TEST_KEEP="$folder/keep" bash "$script" "$@" || status=$?
    if [ -n "${keep_into:-}" ] && [ -d "$folder/keep" ]; then
        cp "$folder/keep/"* "$keep_into/" 2>/dev/null || true
    fi
    rm -rf "$folder"
    exit "$status"
}

# A headless sway session on a session bus of its own, with waybar's tray as the
# StatusNotifierItem host. Needs `work` and XDG_RUNTIME_DIR (program_environment); leaves
# WAYLAND_DISPLAY, SWAYSOCK and DBUS_SESSION_BUS_ADDRESS set, and no X display.
start_sway_session() {
    unset DISPLAY QT_QPA_PLATFORM
    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 <<<"$bus")
    bus_pid=$(tail -n 1 <<<"$bus")
    # No accessibility bus to be started for the bar.
    export NO_AT_BRIDGE=1 GTK_A11Y=none
    printf 'output HEADLESS-1 resolution 1024x768\nxwayland disable\n' >"$work/sway.conf"
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    wait_for 100 sh -c "ls $XDG_RUNTIME_DIR | grep -q '^sway-ipc.*sock\$'" || fail "sway did not start: $(tail -n 5 "$work/sway.log")"
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    export SWAYSOCK
    WAYLAND_DISPLAY=$(ls "$XDG_RUNTIME_DIR" | grep -E '^wayland-[0-9]+$' | head -n 1)
    export WAYLAND_DISPLAY
    printf '{"position": "top", "height": 26, "modules-right": ["tray"], "tray": {"icon-size": 20}}\n' \
        >"$work/waybar.json"
    waybar -c "$work/waybar.json" >"$work/waybar.log" 2>&1 &
    bar_pid=$!
    wait_for 100 busctl --user status org.kde.StatusNotifierWatcher || fail "waybar's tray did not come up"
}

# The shells of sway's windows named $1, one a line (xdg_shell for native Wayland ones).
sway_shells_of() {
    swaymsg -t get_tree | jq -r --arg name "$1" '.. | objects | select(.name? == $name and .shell? != null) | .shell'
}

# A keyboard for the sway session: wtype's virtual keyboard, kept plugged in so that a
# program started afterwards has it bound before the first key (a keyboard that comes
# with its keys loses them). Keys, each pressed by a short-lived keyboard of its own, then
# go to the window that sway focused.
start_keyboard() {
    wtype -s 600000 &
    keys_pid=$!
    wait_for 50 sh -c "swaymsg -t get_seats | jq -e '.[0].capabilities >= 2'" || fail "no virtual keyboard in sway"
}
press() {
    local keys=()
    for key in "$@"; do keys+=(-k "$key"); done
    wtype "${keys[@]}"
}
# Whether sway's window named $1 has the keyboard focus.
sway_focused() {
    swaymsg -t get_tree | jq -e --arg name "$1" '[.. | objects | select(.name? == $name and .focused? == true)] | length > 0'
}
