#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a Wayland session with no X display: a headless sway with
# waybar's tray, a StatusNotifierItem host, on a session bus of its own. A program
# closed while in the tray starts there: its item is registered and no window shows;
# the item's picture follows the traffic on the simulated modem and its tooltip the
# line; Activate brings the window back as a native Wayland window; ContextMenu opens
# the popup menu. A second start, and the host going away, bring the window back too.
# Without a host, "Minimize" leaves the window's lamps working where the compositor keeps
# the window on the screen, and the popup menu opens the setup dialog as a window of its own.
#   WaylandSessionTest.sh PATH-TO-SARVENDO [SCREENSHOT-FOLDER]
# With a folder, the session with the window and the tray is saved there as
# wayland-session.png. Run as root, it runs itself as the user nobody, since sway
# refuses root. Needs sway, waybar, dbus-daemon, busctl, jq, grim, ImageMagick's convert
# and wtype; without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
shots=${2:+$(realpath "$2")}
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools sway waybar swaymsg dbus-daemon busctl jq grim convert wtype
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
# Qt's Wayland platform plugin and libwayland-client keep allocations to the end, and the
# plugin is unloaded before a leak check runs, so its frames cannot even be named in a
# suppression. The program's own code is checked for leaks by every other test.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
start_sway_session
# The keyboard is there before the program starts, so no key finds it unbound.
start_keyboard

cat >"$work/scenario.txt" <<'SCENARIO'
port 1
0 dsr on
0 cts on
6 open pppd
6 carrier 33600
6.5 traffic 0 4000
SCENARIO
# Then the line receives every other second, so the lamps keep changing.
for second in $(seq 8 2 88); do
    printf '%s traffic 0 0\n%s traffic 0 4000\n' "$second" "$((second + 1))" >>"$work/scenario.txt"
done
echo "90 end" >>"$work/scenario.txt"
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

# With no tray host, "Minimize" in the popup menu (opened by the keyboard, the window
# focused) asks the compositor to minimise the window. Sway cannot, so the window stays
# on the screen, and its lamps must go on following the line.
wait_for 50 sway_focused Sarvendo || fail "the window did not get the keyboard focus"
# Where sway shows the window's own area, once it holds still (the compositor may move it
# while the window settles on its decoration).
window_area() {
    swaymsg -t get_tree |
        jq -r '.. | objects | select(.name? == "Sarvendo" and .shell? == "xdg_shell") | .rect | "\(.x) \(.y) \(.width) \(.height)"' |
        head -n 1
}
settled() {
    local now
    now=$(window_area)
    if [ "$now" = "$area" ]; then
        still=$((still + 1))
    else
        area=$now
        still=0
    fi
    [ "$still" -ge 5 ]
}
area="" still=0
wait_for 50 settled || fail "the window did not hold still"
read -r x y width height <<<"$area"
# The menu opens over the window and beside it; the strip beside it shows whether it is up.
beside="$((x + width + 10)),$((y + height / 2)) 60x20"
grim -g "$beside" "$work/beside.png"
menu_up() { grim -g "$beside" "$work/now.png" && ! cmp -s "$work/beside.png" "$work/now.png"; }
open_menu() {
    press Menu
    wait_for 50 menu_up || fail "the Menu key opened no popup menu"
}
open_menu
# "Minimize" is the fourth item from the end (then "Help", "Exit" and the "System" submenu).
press Up Up Up Up Return
menu_gone() { ! menu_up; }
wait_for 50 menu_gone || fail "the popup menu did not close on \"Minimize\""
still=0
wait_for 50 settled || fail "the window did not hold still after \"Minimize\""
read -r x y width height <<<"$area"
# The panel's lowest rows (under any title bar the window draws itself).
lamps="$x,$((y + height - 20)) ${width}x20"
grim -g "$lamps" "$work/lamps.png"
lamps_changed() { grim -g "$lamps" "$work/lamps-now.png" && ! cmp -s "$work/lamps.png" "$work/lamps-now.png"; }
wait_for 50 lamps_changed || fail "after \"Minimize\" the window stayed on the screen with frozen lamps"

# The setup dialog opens from the popup menu as a native window of its own, and closes.
setup="Setup & About / Sarvendo for Windows 95"
dialog_shown() { sway_shells_of "$setup" | grep -qx xdg_shell; }
dialog_gone() { [ -z "$(sway_shells_of "$setup")" ]; }
open_menu
press s
wait_for 50 dialog_shown ||
    fail "\"Setup & About\" opened no window \"$setup\": $(sway_shells_of "$setup")"
wait_for 50 sway_focused "$setup" || fail "the setup dialog did not get the keyboard focus"
press Return
wait_for 50 dialog_gone || fail "the setup dialog did not close on OK"
shown_native || fail "the window went with the setup dialog"
stop_program
echo "PASS"
