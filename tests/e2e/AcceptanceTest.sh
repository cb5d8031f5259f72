#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed program as a user meets it, from a DESTDIR installation, on a scenario of
# the simulated modem, under Xvfb with openbox and trayer: the rings are logged, the
# connection lights the lamps, puts the strip into the caption of an active test window
# and changes the tray icon, the setup dialog opened from the popup menu changes the
# layout, the carrier loss hides the strip, the automatic exit ends the program, and the
# settings file and both logs hold exactly what the run did.
#   AcceptanceTest.sh BUILD-DIR CAPTION-PROBE
# Needs Xvfb, openbox, trayer, xdotool, xwininfo, xprop and ImageMagick; without them the
# test is skipped (77).
set -euo pipefail

build=$(realpath "$1")
probe=$(realpath "$2")
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools Xvfb openbox trayer xdotool xwininfo xprop import convert
work=$(mktemp -d)
step() { echo "ok: $*"; }

# 1. Install.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
program="$work/stage/usr/bin/sarvendo"
[ -x "$program" ] || fail "nothing installed at usr/bin/sarvendo"
step "installed into a DESTDIR"

# 2. A desktop with a window manager and a tray.
start_desktop 1024x768 tray

red_pixels() { # red lamp pixels in an image
    convert "$1" -fx '(r>0.8 && g<0.3 && b<0.3) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

# Another program's window, to carry the strip.
start_test_window "$probe" "Test window" 460 140
xdotool windowmove "$target" 200 200
caption_shot() {
    local x y width top
    read -r x y < <(position "$target")
    width=$(xwininfo -id "$target" | awk '/Width:/ {print $NF}')
    top=$(xprop -id "$target" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')
    import -window root -crop "${width}x${top}+${x}+$((y - top))" "$1" 2>/dev/null
}

# The status driver module, on the real line side: the installed program, with the
# simulation off and every port mapped to a device that does not exist, loads it without
# a word, while a copy of the program with nothing beside it says it is missing, so the
# check can tell the two apart. No real port is opened.
driver_check() { # program, settings directory
    mkdir -p "$2"
    printf '[Sarvendo: Main]\r\nShow Logo at Startup=0\r\n[Sarvendo: Devices]\r\nCOM1=%s\r\nCOM2=%s\r\nCOM3=%s\r\nCOM4=%s\r\n' \
        "$work/no-tty1" "$work/no-tty2" "$work/no-tty3" "$work/no-tty4" >"$2/SARVENDO.INI"
    mkdir -p -m 700 "$2/run"
    env -u SARVENDO_SIMULATE SARVENDO_HOME="$2" SARVENDO_AUTO_ANSWER=yes QT_QPA_PLATFORM=offscreen \
        XDG_RUNTIME_DIR="$2/run" timeout --foreground -k 5 60 "$1" 1 2>"$2/err" &
    local check=$!
    wait_for 300 grep -q "Sarvendo: event loop running" "$2/err" || { kill "$check"; fail "$1 did not come up: $(cat "$2/err")"; }
    kill -TERM "$check"
    wait "$check" || fail "$1 did not end cleanly: $(cat "$2/err")"
}
mkdir -p "$work/elsewhere"
cp "$work/stage/usr/libexec/sarvendo/sarvendo" "$work/elsewhere/sarvendo"
driver_check "$work/elsewhere/sarvendo" "$work/driver-absent"
grep -q "SARVEN95.VXD not found" "$work/driver-absent/err" || fail "a program without its module did not miss it"
driver_check "$program" "$work/driver-present"
grep -q "SARVEN95.VXD" "$work/driver-present/err" && fail "the installed program did not load its status driver module: $(cat "$work/driver-present/err")"
step "the installed program loads its status driver module"

# 3. The line: two rings, an answered call that carries traffic, the remote end hanging up.
cat >"$work/scenario.txt" <<'EOF'
port 1
0 dsr on
0 cts on
2 ring
+3 ring
+5 open pppd
+0 params 57600 8N1
+1 carrier 33600
+0.5 traffic 500 4000
+24 traffic 0 0
+0 carrier off
+0.5 close
+600 end
EOF
export SARVENDO_SIMULATE="$work/scenario.txt"
program_environment
printf '%b' '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\n' \
    'Log RI=1\r\nLog DCD=1\r\nDCD Interval=2\r\nTitle=1\r\nShowTrayIcon=1\r\nCD Auto Exit=1\r\n' \
    'CD Auto Exit Delay=3\r\nWarn when Exiting=1\r\nWindow Position X=600\r\nWindow Position Y=100\r\n' \
    >"$SARVENDO_HOME/SARVENDO.INI"

(cd "$work" && exec timeout --foreground -k 5 110 "$program") 2>"$work/err" &
pid=$!
wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"
wait_for 150 client_of Sarvendo || fail "the main window is not listed"
main=$(client_of Sarvendo)
step "the installed program runs"

# The tray icon, before the call.
read -r _ ix iy < <(tray_icon) || fail "no tray icon was embedded"
import -window root -crop "24x24+$ix+$iy" "$work/icon-before.png"
step "the tray icon is embedded"

# 4. The connection: the window's lamps, the strip in the active window's caption, the tray icon.
xdotool windowactivate --sync "$target"
read -r mx my < <(position "$main")
panel_shot() { import -window root -crop "100x22+$mx+$my" "$1" 2>/dev/null; }
panel_shot "$work/panel-idle.png"
ok=""
for _ in $(seq 1 200); do
    caption_shot "$work/caption.png"
    if [ "$(red_pixels "$work/caption.png")" -gt 40 ]; then
        ok=yes
        break
    fi
    sleep 0.1
done
[ -n "$ok" ] || fail "the connection put no lamps into the active window's caption"
step "the strip stands in the active window's caption"
panel_shot "$work/panel-connected.png"
[ "$(red_pixels "$work/panel-connected.png")" -gt "$(red_pixels "$work/panel-idle.png")" ] ||
    fail "the connection lit no more lamps in the window"
step "the connection lights the window's lamps"
wait_for 50 sh -c "import -window root -crop 24x24+$ix+$iy $work/icon-after.png 2>/dev/null &&
    ! compare -metric AE $work/icon-before.png $work/icon-after.png null: 2>/dev/null" ||
    fail "the tray icon did not change with the connection"
step "the tray icon follows the line"

# 5. The setup dialog from the popup menu: the Modem layout on "Layout & Colors".
width_before=$(xwininfo -id "$main" | awk '/Width:/ {print $NF}')
shown_before=$(program_windows_shown)
xdotool mousemove $((mx + 20)) $((my + 10)) click 3
wait_for 50 new_program_window "$shown_before" || fail "the popup menu did not open"
xdotool key Down Return
wait_for 50 client_of "Setup & About / Sarvendo for Windows 95" || fail "the setup dialog did not open"
dialog=$(client_of "Setup & About / Sarvendo for Windows 95")
read -r dx dy < <(position "$dialog")
dialog_shot() { import -window "$dialog" "$1" 2>/dev/null; }
dialog_shot "$work/page1.png"
page_changed() { dialog_shot "$work/page2.png" && ! compare -metric AE "$work/page1.png" "$work/page2.png" null: 2>/dev/null; }
xdotool mousemove $((dx + 172)) $((dy + 13)) click 1 # the "Layout & Colors" tab, in the upper row
wait_for 50 page_changed || fail "the \"Layout & Colors\" tab did not open"
xdotool mousemove $((dx + 60)) $((dy + 134)) click 1 # "Modem"
wait_for 50 sh -c "[ \$(xwininfo -id $main | awk '/Width:/ {print \$NF}') -ne $width_before ]" ||
    fail "choosing the Modem layout did not change the window at once"
xdotool mousemove $((dx + 383)) $((dy + 344)) click 1 # "&OK"
wait_for 50 sh -c "! xwininfo -id $dialog | grep -q IsViewable" || fail "the setup dialog did not close"
step "the setup dialog changed the layout at once"

# 6. The carrier drops: the strip goes while the program still runs, and then the
#    program ends by itself. A program that had simply died would leave no strip either.
xdotool windowactivate --sync "$target"
ok=""
for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the strip was seen to go"
    caption_shot "$work/caption-after.png"
    if [ "$(red_pixels "$work/caption-after.png")" -eq 0 ] && grep -q . "$SARVENDO_HOME/Sarvendo.DCD" 2>/dev/null &&
        grep -q "Disconnected" "$SARVENDO_HOME/Sarvendo.DCD"; then
        ok=yes
        break
    fi
    sleep 0.1
done
[ -n "$ok" ] || fail "the strip stayed after the carrier dropped"
kill -0 "$pid" 2>/dev/null || fail "the program ended when the carrier dropped, before its automatic exit"
step "the carrier loss hides the strip, and the program still runs"
for _ in $(seq 1 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the automatic exit did not end the program"
wait "$pid" || fail "the program ended with an error"
pid=""
step "the automatic exit ends the program"

# 7. What the run left behind.
ini="$SARVENDO_HOME/SARVENDO.INI"
grep -q $'^NewOrientation=4\r$' "$ini" || fail "the settings do not hold the Modem layout: $(grep NewOrientation "$ini")"
grep -q $'^Default Port=1\r$' "$ini" || fail "the settings lost the port"
total=$(grep '^TotalConnectNew=' "$ini" | cut -d= -f2 | tr -d '\r ')
awk -v t="$total" 'BEGIN { s = t * 86400; exit !(s > 15 && s < 60) }' ||
    fail "the total connect time $total is not the call's 20-odd seconds"
rings=$(grep -c '^Call: ' "$SARVENDO_HOME/Sarvendo.RI" || true)
[ "$rings" -eq 1 ] || fail "the ring log holds $rings calls"
grep -q 'Signals= 2' "$SARVENDO_HOME/Sarvendo.RI" || fail "the ring log did not count two rings: $(cat "$SARVENDO_HOME/Sarvendo.RI")"
[ "$(grep -c 'Connected: ' "$SARVENDO_HOME/Sarvendo.DCD")" -eq 1 ] || fail "the connect log holds other than one call"
grep -Eq 'Connected: .*  Disconnected: .*  Session Time = 0?0:00:2[0-9]  Total Time = 0?0:00:2[0-9]' "$SARVENDO_HOME/Sarvendo.DCD" ||
    fail "the connect log record is not the call: $(cat "$SARVENDO_HOME/Sarvendo.DCD")"
step "the settings and both logs hold what the run did"
echo "PASS"
