#!/usr/bin/env bash
# The main window on a real X server with a window manager: the lamps reach the caption
# of another program's active window, a double click on the panel hides and shows the
# caption with the panel staying where it is, the left button drags the window, and
# "OnTop" 1 keeps it on top except while the setup dialog is open.
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
    (cd "$work" && exec timeout -k 5 120 "$program") 2>"$work/err" &
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

for layout in 3 4 5; do
    start_program "Title=1\r\nOrientation Title=$layout\r\n"
    xdotool windowactivate --sync "$target"
    # The lamps show: the caption's right end changes from the window manager's own.
    wait_for 50 sh -c "xwininfo -root -children | grep -q '(\"sarvendo\"'" || true
    ok=""
    for _ in $(seq 1 50); do
        strip_shot "$work/strip$layout.png"
        # Red lamps of the lit lines stand out from any title bar colour.
        if [ "$(convert "$work/strip$layout.png" -fx '(r>0.8 && g<0.3 && b<0.3) ? 1 : 0' -format '%[fx:mean*w*h]' info:)" != "0" ]; then
            ok=yes
            break
        fi
        sleep 0.1
    done
    [ -n "$ok" ] || fail "no lamps in the active window's caption (title layout $layout)"
    [ -n "$shots" ] && cp "$work/strip$layout.png" "$shots/caption-layout$layout.png"
    stop_program
done

# The time alone, where the strip would end.
start_program "Title=0\r\nDisplay connect time in Titlebar=1\r\n"
xdotool windowactivate --sync "$target"
sleep 4
strip_shot "$work/time.png"
[ -n "${SARVENDO_TEST_DEBUG:-}" ] && cat "$work/err" >&2
[ -n "$shots" ] && cp "$work/time.png" "$shots/caption-time.png"
stop_program

# The caption toggle and the drag, on the program's own window.
start_program "Title=0\r\nWindow Position X=300\r\nWindow Position Y=300\r\n"
xdotool windowactivate --sync "$main"
sleep 0.5
read -r x0 y0 < <(position "$main")
xdotool mousemove $((x0 + 30)) $((y0 + 12)) click --repeat 2 --delay 60 1
wait_for 50 sh -c "! xprop -id $main _NET_FRAME_EXTENTS | grep -q ', [1-9][0-9], '" || true
read -r x1 y1 < <(position "$main")
[ "$x1 $y1" = "$x0 $y0" ] || echo "note: with the caption hidden the panel is at $x1,$y1 (was $x0,$y0)"
xdotool mousemove $((x1 + 30)) $((y1 + 12)) click --repeat 2 --delay 60 1
sleep 1
read -r x2 y2 < <(position "$main")
[ "$x2 $y2" = "$x0 $y0" ] || fail "two caption toggles moved the panel from $x0,$y0 to $x2,$y2"

xdotool mousemove $((x2 + 30)) $((y2 + 12)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x2 + 30 + 20 * step)) $((y2 + 12 + 10 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
read -r x3 y3 < <(position "$main")
[ "$x3" -gt "$x2" ] && [ "$y3" -gt "$y2" ] || fail "dragging the panel did not move the window ($x2,$y2 -> $x3,$y3)"
stop_program

# Always on top, except while the setup dialog is open.
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
start_program "OnTop=1\r\nWindow Position X=300\r\nWindow Position Y=300\r\n"
wait_for 50 above || fail "\"OnTop\" 1 did not keep the window on top"
read -r x0 y0 < <(position "$main")
xdotool mousemove $((x0 + 30)) $((y0 + 12)) click 3
sleep 0.5
xdotool key Down Return # the menu's first item: "&Setup && About"
wait_for 50 client_of "Setup & About / Sarvendo for Windows 95" || fail "the setup dialog did not open"
setup=$(client_of "Setup & About / Sarvendo for Windows 95")
wait_for 50 sh -c "! xprop -id $main _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
    fail "the window stayed on top while the setup dialog was open"
xdotool windowactivate --sync "$setup" key Return
wait_for 50 sh -c "! xwininfo -id $setup | grep -q IsViewable" || fail "the setup dialog did not close"
wait_for 50 above || fail "the window did not go back on top after the setup dialog closed"
stop_program
echo "PASS"
