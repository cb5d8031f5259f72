#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a Wayland session with no X display: a headless sway with
# waybar's tray, a StatusNotifierItem host, on a session bus of its own. A program
# closed while in the tray starts there: its item is registered and no window shows;
# the item's picture follows the traffic on the simulated modem and its tooltip the
# line; Activate brings the window back as a native Wayland window; ContextMenu opens
# the popup menu. A second start, and the host going away, bring the window back too.
#   WaylandSessionTest.sh PATH-TO-SARVENDO [SCREENSHOT-FOLDER]
# With a folder, the session with the window and the tray is saved there as
# wayland-session.png. Run as root, it runs itself as the user nobody, since sway
# refuses root. Needs sway, waybar, dbus-daemon, busctl, jq, grim and ImageMagick's
# convert; without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
shots=${2:+$(realpath "$2")}
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools sway waybar swaymsg dbus-daemon busctl jq grim convert
keep_into=$shots
run_unprivileged "$(realpath "$0")" "$program" ${shots:+"$shots"}
if [ -n "${SARVENDO_TEST_WORK:-}" ]; then
    work=$SARVENDO_TEST_WORK
    mkdir -p "$work"
    [ -n "$shots" ] && shots=$SARVENDO_TEST_KEEP && mkdir -p "$shots"
else
    work=$(mktemp -d)
fi
program_environment
start_sway_session

cat >"$work/scenario.txt" <<'SCENARIO'
port 1
0 dsr on
0 cts on
6 open pppd
6 carrier 33600
6.5 traffic 0 4000
90 end
SCENARIO
export SARVENDO_SIMULATE="$work/scenario.txt"
# Starts the program in the tray, as one closed there, and waits for its item.
start_in_tray() {
    printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=-3\r\nTitle=1\r\n' \
        >"$SARVENDO_HOME/SARVENDO.INI"
    : >"$work/err"
    (cd "$work" && exec timeout --foreground -k 5 100 "$program") 2>"$work/err" &
    pid=$!
    wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"
    wait_for 100 registered || fail "no StatusNotifierItem was registered with waybar"
}
stop_program() {
    kill -TERM "$pid"
    wait "$pid" || fail "the program did not end cleanly"
    pid=""
}
registered() {
    busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -o '"[^"]*"' | tr -d '"' | head -n 1 | grep .
}
shown_native() { sway_shells_of Sarvendo | grep -qx xdg_shell; }
start_in_tray

# The item is registered with the host, and the window waits in the tray.
entry=$(registered)
service=${entry%%/*}
path=/${entry#*/}
echo "item $service $path"
item() { busctl --user "$1" "$service" "$path" org.kde.StatusNotifierItem "${@:2}"; }
[ -z "$(sway_shells_of Sarvendo)" ] || fail "a start in the tray showed the window"

# The picture follows the traffic, the tooltip the line.
item get-property IconName IconPixmap | md5sum >"$work/icon.before"
icon_changed() { ! item get-property IconName IconPixmap | md5sum | cmp -s - "$work/icon.before"; }
wait_for 150 icon_changed || fail "the item's picture did not follow the traffic"
item get-property ToolTip | grep -q "COM1" || fail "the item's tooltip does not name the port: $(item get-property ToolTip)"

# The primary activation brings the window back, as a native Wayland window.
item call Activate ii 0 0
wait_for 100 shown_native || fail "Activate did not bring the window back as a Wayland window: $(sway_shells_of Sarvendo)"
grep -q "no X11 desktop, so no lamps or connect time" "$work/err" ||
    fail "nothing said that the caption strip is not drawn over Wayland windows"
rect=$(swaymsg -t get_tree |
    jq -r '.. | objects | select(.name? == "Sarvendo" and .shell? == "xdg_shell") | .rect | "\(.x),\(.y) \(.width)x\(.height)"' |
    head -n 1)
painted() { grim -g "$rect" "$work/window.png" && [ "$(convert "$work/window.png" -format '%[fx:standard_deviation > 0.05]' info:)" = 1 ]; }
wait_for 50 painted || fail "the window came back empty"
[ -n "$shots" ] && grim "$shots/wayland-session.png"

# The context menu is the popup menu: one more of the program's surfaces on the screen
# (a toplevel, as the request came over the bus and not from a click in a window).
app_pid=$(swaymsg -t get_tree | jq '.. | objects | select(.name? == "Sarvendo" and .shell? == "xdg_shell") | .pid' | head -n 1)
surfaces() { swaymsg -t get_tree | jq --argjson pid "$app_pid" '[.. | objects | select(.pid? == $pid)] | length'; }
before=$(surfaces)
more_surfaces() { [ "$(surfaces)" -gt "$before" ]; }
item call ContextMenu ii 200 200
wait_for 50 more_surfaces || fail "ContextMenu on the item opened no popup menu"

stop_program

# A second start shows the window in the tray, with no X display to find it by.
start_in_tray
timeout 20 "$program" 2>"$work/second" || fail "the second start ended with $?"
wait_for 100 shown_native || fail "a second start did not bring the window back from the tray"
stop_program

# The host going away while the window is in the tray brings the window back.
start_in_tray
kill "$bar_pid"
bar_pid=""
wait_for 100 shown_native || fail "the window stayed hidden after the tray host went away"
stop_program
echo "PASS"
