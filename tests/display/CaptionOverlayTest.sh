#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The caption strip on a real X server with a window manager: it appears on the active
# window's title bar at the computed place, directly above that window's frame, shows the
# strip's lamps, lets clicks through, follows activation and moves, and goes away when its
# window is minimised or closed and at carrier loss.
#   CaptionOverlayTest.sh PATH-TO-SARVENDO_CAPTION_PROBE
# Needs Xvfb, openbox, xdotool, xwininfo, xprop and ImageMagick's import; without them the
# test is skipped (77).
set -euo pipefail

probe=$(realpath "$1")
work=$(mktemp -d)
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; desktop_cleanup' EXIT
need_tools Xvfb openbox xdotool xwininfo xprop import
start_desktop 800x600
program_environment

# TITLE WIDTH HEIGHT: starts a window of another process.
start_window() {
    timeout -k 5 110 "$probe" window "$1" "$2" "$3" >/dev/null 2>&1 &
    pids+=($!)
}
# TITLE: the window's id, once the window manager has framed it.
window_id() {
    local id=""
    for _ in $(seq 1 100); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1) || true
        [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS | grep -q = && break
        id=""
        sleep 0.1
    done
    [ -n "$id" ] || fail "window $1 did not appear"
    echo "$id"
}

geometry() { # ID: "X Y WIDTH HEIGHT" of the window on the root, border included
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Border width/ {b=$NF} / Width:/ {w=$NF} / Height:/ {h=$NF} END {print x, y, w+2*b, h+2*b}'
}
frame_of() { printf '%d' "$(xwininfo -tree -id "$1" | awk '/Parent window id/ {print $4}')"; }
title_bar() { xprop -id "$1" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}'; }
mapped() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
state() { tail -n1 "$work/probe.out"; }

# Where the overlay belongs on the window: the small strip, with the time to its left,
# ends left of the three caption buttons (18 each), the 2-pixel gap and the 3-pixel
# sizing frame; the 17-pixel strip is centred in the title bar.
expected_place() { # CLIENT: "RIGHT Y HEIGHT"
    local x y w h top height
    read -r x y w h < <(geometry "$(frame_of "$1")")
    top=$(title_bar "$1")
    height=$((top - 2 < 17 ? top - 2 : 17))
    echo "$((x + w - 2 - 3 * 18 - 3)) $((y + (top - height) / 2)) $height"
}
on_window() { # CLIENT: the overlay is up over this window's frame, in its place
    [ "$(state)" = "shown $overlay $(frame_of "$1")" ] || return 1
    mapped "$overlay" || return 1
    local x y w h right top height
    read -r x y w h < <(geometry "$overlay")
    read -r right top height < <(expected_place "$1")
    [ "$((x + w))" = "$right" ] && [ "$y" = "$top" ] && [ "$h" = "$height" ] && [ "$w" -gt 94 ]
}
gone() { [ "$(state)" = hidden ] && ! mapped "$overlay"; }

start_window "Target A" 400 200
start_window "Target B" 300 150
first=$(window_id "Target A")
second=$(window_id "Target B")
xdotool windowactivate --sync "$first"

mkfifo "$work/commands"
exec {commands}<>"$work/commands"
timeout -k 5 100 "$probe" caption 3 <"$work/commands" >"$work/probe.out" 2>"$work/err" &
pids+=($!)
wait_for 100 grep -q '^shown' "$work/probe.out" || fail "the overlay never came up: $(cat "$work/probe.out")"
overlay=$(state | awk '{print $2}')

# On the active window, in its place, directly above its frame.
wait_for 100 on_window "$first" || fail "not at the computed place on the first window: $(state), $(geometry "$overlay")"
frame=$(printf '0x%x' "$(frame_of "$first")")
xwininfo -root -children | grep -A1 "$(printf '0x%x' "$overlay") " | tail -n1 | grep -q "$frame " ||
    fail "not stacked directly above the frame"

# The strip's pixels: its light grey panel and the lit CTS and DCD lamps in pure red.
lamp_pixels() {
    read -r x y w h < <(geometry "$overlay")
    import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 txt:- >"$work/pixels"
    [ "$(grep -c '#FF0000' "$work/pixels")" -gt 10 ] && [ "$(grep -c '#C0C0C0' "$work/pixels")" -gt 200 ]
}
wait_for 100 lamp_pixels || fail "the strip's lamps are not on the screen"

# Clicks fall through to the title bar: the pointer over the strip is over the frame.
read -r x y w h < <(geometry "$overlay")
xdotool mousemove "$((x + w - 20))" "$((y + h / 2))"
[ "$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')" != "$overlay" ] || fail "the overlay takes clicks"

# Another window active: the overlay moves there.
xdotool windowactivate --sync "$second"
wait_for 100 on_window "$second" || fail "did not follow the activation: $(state)"

# The target moved: the overlay follows to its new place.
xdotool windowmove --sync "$second" 60 320
wait_for 100 on_window "$second" || fail "did not follow the move: $(state)"

# Minimised: the overlay leaves it, for the window activated next or for nothing.
xdotool windowminimize --sync "$second"
left_minimised() { [ "$(state)" != "shown $overlay $(frame_of "$second")" ] && { gone || on_window "$first"; }; }
wait_for 100 left_minimised || fail "stayed on the minimised window: $(state)"

# Closed: no overlay is left floating where the window was.
xdotool windowactivate --sync "$first"
wait_for 100 on_window "$first" || fail "did not come back to the first window: $(state)"
kill "$(xdotool getwindowpid "$first")"
wait_for 100 gone || fail "left floating after its window closed: $(state)"

# A stale active window (closed before anyone could read it) gives no strip and no crash.
"$probe" stale-active
xprop -root _NET_ACTIVE_WINDOW | grep -q '0x7ffff1$' || fail "could not name a stale active window"
wait_for 100 gone || fail "a stale active window kept the strip: $(state)"
kill -0 "${pids[-1]}" || fail "the probe ended on a stale active window"
xdotool windowactivate --sync "$second"
wait_for 100 on_window "$second" || fail "did not come back after the stale window: $(state)"

# Carrier loss takes it away.
xdotool windowactivate --sync "$second" || fail "could not activate the restored window"
wait_for 100 on_window "$second" || fail "did not come back to the restored window: $(state)"
echo carrier-loss >&"$commands"
wait_for 100 gone || fail "stayed after the carrier was lost: $(state)"

echo "PASS"
