#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window on a real X server with a window manager: the lamps reach the caption
# of another program's active window and stay while its title changes, the connect time
# alone ticks there and leaves nothing behind of a window that covered the title bar, a
# program started by Auto Run sees the user's environment, ten
# double clicks on the panel hide and show the caption with the panel staying where it
# is, the left button drags the window, and "OnTop" 1 keeps it on top except while the
# setup dialog is open.
#   WindowBehaviourTest.sh PATH-TO-SARVENDO PATH-TO-CAPTION-PROBE [SCREENSHOT-FOLDER]
# With a folder, the caption strips of the three title layouts and the time alone are
# saved there as PNG files. Needs Xvfb, openbox, xdotool, xwininfo, xprop and ImageMagick;
# without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
probe=$(realpath "$2")
shots=${3:-}
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools Xvfb openbox xdotool xwininfo xprop import convert compare
work=$(mktemp -d)
start_desktop 1024x768
program_environment
cat >"$work/scenario.txt" <<'EOF'
port 1
0 dsr on
0 cts on
0 open pppd
0 carrier 33600
0.5 traffic 300 2000
600 end
EOF
export SARVENDO_SIMULATE="$work/scenario.txt"

start_program() { # $1: extra lines of the COM1 section
    printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nWarn when Exiting=1\r\n%b' \
        "$1" >"$SARVENDO_HOME/SARVENDO.INI"
    : >"$work/err"
    (cd "$work" && exec timeout --foreground -k 5 120 "$program") 2>"$work/err" &
    pid=$!
    wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"
    wait_for 150 client_of Sarvendo || fail "the main window is not listed"
    main=$(client_of Sarvendo)
}
stop_program() {
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
}

# Another program's window, made active: the strip appears over its caption.
start_test_window "$probe" "Test window" 460 140
# Placed well inside the screen, caption and all.
xdotool windowmove --sync "$target" 200 200 || xdotool windowmove "$target" 200 200

strip_shot() { # the right end of the test window's caption, into $1
    local frame_x frame_y width
    read -r frame_x frame_y < <(position "$target")
    width=$(xwininfo -id "$target" | awk '/Width:/ {print $NF}')
    local top
    top=$(xprop -id "$target" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')
    import -window root -crop "${width}x${top}+${frame_x}+$((frame_y - top))" "$1" 2>/dev/null
}

# The number of pixels of shot $1 whose colour the fx expression $2 picks.
count_pixels() { convert "$1" -fx "$2" -format '%[fx:round(mean*w*h)]' info:; }
red_in_strip() {
    strip_shot "$1"
    [ "$(count_pixels "$1" '(r>0.8 && g<0.3 && b<0.3) ? 1 : 0')" != 0 ]
}

for layout in 3 4 5; do
    start_program "Title=1\r\nOrientation Title=$layout\r\n"
    xdotool windowactivate --sync "$target"
    # Red lamps of the lit lines stand out from any title bar colour.
    wait_for 50 red_in_strip "$work/strip$layout.png" || fail "no lamps in the active window's caption (title layout $layout)"
    if [ "$layout" = 3 ]; then
        # A title that changes every second (a clock, a player) leaves the strip alone.
        shown=$(program_windows_shown | wc -l)
        fewer() { [ "$(program_windows_shown | wc -l)" -lt "$shown" ]; }
        for tick in 1 2 3; do
            xdotool set_window --name "Test window $tick" "$target"
            if wait_for 10 fewer; then
                fail "a new title of the active window hid the caption strip"
            fi
        done
        xdotool set_window --name "Test window" "$target"
    fi
    [ -n "$shots" ] && cp "$work/strip$layout.png" "$shots/caption-layout$layout.png"
    stop_program
done

# The time alone, where the strip would end: the caption's right end changes from the
# window manager's own, shows no lamps, and the time ticks.
xdotool windowactivate --sync "$target"
strip_shot "$work/bare.png"
cat >"$work/autorun.sh" <<AUTORUN
#!/bin/sh
env >"$work/autorun.env"
AUTORUN
chmod +x "$work/autorun.sh"
# Started by Auto Run, a program sees the environment the user had: no platform forced.
unset QT_QPA_PLATFORM
start_program "Title=0\r\nDisplay connect time in Titlebar=1\r\nAuto Run=1\r\nAuto Run Program=$work/autorun.sh\r\n"
export QT_QPA_PLATFORM=xcb
xdotool windowactivate --sync "$target"
differs() { strip_shot "$2" && [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" != 0 ]; }
wait_for 100 differs "$work/bare.png" "$work/time.png" || fail "no connect time in the active window's caption"
[ "$(count_pixels "$work/time.png" '(r>0.8 && g<0.3 && b<0.3) ? 1 : 0')" = 0 ] || fail "lamps beside the time alone"
wait_for 30 differs "$work/time.png" "$work/time2.png" || fail "the connect time in the caption did not tick"
[ -n "$shots" ] && cp "$work/time.png" "$shots/caption-time.png"
wait_for 50 test -s "$work/autorun.env" || fail "the Auto Run program did not start"
if grep -q '^QT_QPA_PLATFORM=' "$work/autorun.env"; then
    fail "the Auto Run program got the program's own platform choice: $(grep '^QT_QPA_PLATFORM=' "$work/autorun.env")"
fi
grep -q "^DISPLAY=$DISPLAY\$" "$work/autorun.env" || fail "the Auto Run program lost the user's DISPLAY"

# A window lying over the title bar when the strip took its background leaves nothing of
# itself behind once it moves away: the background is taken again.
"$probe" window Cover 300 60 >>"$work/probe.err" 2>&1 &
cover_pid=$!
wait_for 150 client_of Cover || fail "the covering window did not appear"
cover=$(client_of Cover)
xdotool windowactivate --sync "$target"
read -r tx ty < <(position "$target")
twidth=$(xwininfo -id "$target" | awk '/Width:/ {print $NF}')
xdotool windowmove --sync "$cover" $((tx + twidth - 300)) $((ty - 40))
xdotool windowraise "$cover"
# The target moves a little, so the strip comes back on the title bar as it is now.
xdotool windowmove --sync "$target" $((tx + 1)) $((ty - $(xprop -id "$target" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')))
overlay_shown() {
    for id in $(xwininfo -root -children | grep '("sarvendo"' | awk '{print $1}'); do
        [ "$((id))" != "$((main))" ] && xwininfo -id "$id" | grep -q IsViewable && echo "$id" && return 0
    done
    return 1
}
wait_for 50 overlay_shown || fail "the strip did not come back after its window moved"
xdotool windowmove --sync "$cover" 0 600
white_share() {
    local id geometry
    id=$(overlay_shown) || return 1
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}')
    import -window root -crop "$geometry" "$work/overlay.png" 2>/dev/null
    convert "$work/overlay.png" -fx '(r>0.95 && g>0.95 && b>0.95) ? 1 : 0' -format '%[fx:round(100*mean)]' info:
}
clean() { [ "$(white_share)" -lt 40 ]; }
wait_for 30 clean || fail "the strip kept the pixels of a window that covered the title bar ($(white_share)% white)"
kill "$cover_pid"
cover_pid=""
stop_program

# The caption toggle and the drag, on the program's own window. Ten double clicks at
# gaps from 50 to 300 ms each hide or show the caption, measured by the frame the window
# manager draws, and the panel never moves on the screen.
start_program "Title=0\r\nWindow Position X=300\r\nWindow Position Y=300\r\n"
top_extent() { xprop -id "$main" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}'; }
is_active() { [ "$(($(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*$')))" = "$((main))" ]; }
has_caption() { [ "$(top_extent)" -gt 4 ]; }
no_caption() { [ "$(top_extent)" -le 4 ]; }
at() { [ "$(position "$main")" = "$1" ]; }
xdotool windowactivate --sync "$main"
wait_for 50 is_active || fail "the main window could not be activated"
wait_for 50 has_caption || fail "the main window has no caption to start with"
panel=$(position "$main")
read -r x0 y0 <<<"$panel"
toggles=0
for gap in 50 80 110 140 170 200 230 260 280 300; do
    if has_caption; then want=no_caption; else want=has_caption; fi
    xdotool mousemove $((x0 + 30)) $((y0 + 12)) click --repeat 2 --delay "$gap" 1
    wait_for 30 "$want" || fail "a double click $gap ms apart did not toggle the caption (toggle $((toggles + 1)))"
    wait_for 30 at "$panel" || fail "the caption toggle moved the panel from $panel to $(position "$main") ($gap ms)"
    toggles=$((toggles + 1))
done
[ "$toggles" = 10 ] || fail "only $toggles of ten double clicks toggled the caption"
has_caption || fail "an even number of toggles left the caption hidden"
read -r x2 y2 <<<"$panel"

xdotool mousemove $((x2 + 30)) $((y2 + 12)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x2 + 30 + 20 * step)) $((y2 + 12 + 10 * step))
done
xdotool mouseup 1
moved() { read -r x3 y3 < <(position "$main") && [ "$x3" -gt "$x2" ] && [ "$y3" -gt "$y2" ]; }
wait_for 30 moved || fail "dragging the panel did not move the window ($x2,$y2 -> $(position "$main"))"
stop_program

# Always on top, except while the setup dialog is open.
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
start_program "OnTop=1\r\nWindow Position X=300\r\nWindow Position Y=300\r\n"
wait_for 50 above || fail "\"OnTop\" 1 did not keep the window on top"
read -r x0 y0 < <(position "$main")
before=$(program_windows_shown)
xdotool mousemove $((x0 + 30)) $((y0 + 12)) click 3
wait_for 50 new_program_window "$before" || fail "the popup menu did not open"
xdotool key Down Return # the menu's first item: "&Setup && About"
wait_for 50 client_of "Setup & About / Sarvendo for Windows 95" || fail "the setup dialog did not open"
setup=$(client_of "Setup & About / Sarvendo for Windows 95")
wait_for 50 sh -c "! xprop -id $main _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
    fail "the window stayed on top while the setup dialog was open"
xdotool windowactivate --sync "$setup" key Return
wait_for 50 sh -c "! xwininfo -id $setup | grep -q IsViewable" || fail "the setup dialog did not close"
wait_for 50 above || fail "the window did not go back on top after the setup dialog closed"

# The history window comes from its module beside the program, and the chart libraries
# with it: none of them is loaded before the window is first opened.
charts_loaded() { grep -q libQt6Charts "/proc/$(pgrep -P "$pid" | head -n 1)/maps"; }
! charts_loaded || fail "the chart libraries were loaded before the history window was opened"
before=$(program_windows_shown)
xdotool mousemove $((x0 + 30)) $((y0 + 12)) click 3
wait_for 50 new_program_window "$before" || fail "the popup menu did not open"
xdotool key y i # "S&ystem", "H&istory..."
wait_for 50 client_of "Sarvendo History" || fail "the history window did not open: $(cat "$work/err")"
charts_loaded || fail "the history window is shown without the chart libraries"
stop_program
echo "PASS"
