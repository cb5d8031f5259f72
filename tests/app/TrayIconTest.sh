#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon of the real program with and without a tray host. Without one,
# minimising keeps the window iconic on the taskbar and says once why; a host started
# later shows the icon, whose picture follows the line on the simulated modem; a click
# brings the window back from the tray and a right click opens the popup menu; the host
# going away while the window is in the tray brings the window back; and a program
# closed while in the tray starts there again and keeps its layout's sign.
#   TrayIconTest.sh PATH-TO-SARVENDO
# Needs Xvfb, openbox, trayer, xdotool, xwininfo, xprop and ImageMagick's import;
# without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools Xvfb openbox trayer xdotool xwininfo xprop import compare
work=$(mktemp -d)
start_desktop 800x600
program_environment
# Quiet for a while, then received traffic on a connection: the icon must change.
cat >"$work/scenario.txt" <<'SCENARIO'
port 1
0 dsr on
0 cts on
8 open pppd
8 carrier 33600
8.5 traffic 0 4000
90 end
SCENARIO
export SARVENDO_SIMULATE="$work/scenario.txt"
ini="$SARVENDO_HOME/SARVENDO.INI"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nWarn when Exiting=1\r\n' \
    >"$ini"

start_program() {
    : >"$work/err"
    (cd "$work" && exec timeout --foreground -k 5 100 "$program") 2>"$work/err" &
    pid=$!
    wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"
}

# No tray host: the window is minimised as any other and stays listed.
start_program
wait_for 150 client_of Sarvendo || fail "the main window is not listed"
window=$(client_of Sarvendo)
wait_for 50 viewable "$window" || fail "the main window is not shown"
grep -q "no tray host is running" "$work/err" || fail "nothing said that no tray host is there"
xdotool windowminimize "$window"
wait_for 50 iconic "$window" || fail "minimising did not iconify the window"
unlisted() { ! listed "$window"; }
if wait_for 20 unlisted; then
    fail "without a tray host, minimising took the window off the taskbar"
fi
iconic "$window" || fail "without a tray host the window did not stay iconic"
[ "$(grep -c "no tray host is running" "$work/err")" = 1 ] || fail "the missing tray host was said more than once"

# A host started later gets the icon.
start_tray
read -r icon ix iy < <(tray_icon) || fail "a tray host started later did not get the icon"
echo "icon $icon at $ix,$iy"

import -window root -crop 24x24+$ix+$iy "$work/before.png"
wait_for 150 sh -c "import -window root -crop 24x24+$ix+$iy $work/after.png && ! compare -metric AE $work/before.png $work/after.png null: 2>/dev/null" ||
    fail "the icon's picture did not follow the traffic"

# A click on the icon (a double click where the host sends one) brings it back.
xdotool mousemove $((ix + 10)) $((iy + 10)) click --repeat 2 --delay 80 1
wait_for 100 viewable "$window" || fail "a click on the icon did not bring the window back"

# Minimised with a host there, the window leaves the screen and the taskbar.
xdotool windowminimize "$window"
wait_for 100 unlisted || fail "minimising with a tray host left the window on the taskbar"
viewable "$window" && fail "the window in the tray is still shown"

# A right click opens the popup menu: one more of the program's windows is on screen.
before=$(program_windows_shown)
xdotool mousemove $((ix + 10)) $((iy + 10)) click 3
wait_for 50 new_program_window "$before" || fail "a right click on the icon opened no popup menu"
xdotool key Escape

# The host going away while the window is in the tray brings the window back.
stop_tray
wait_for 50 viewable "$window" || fail "the window stayed hidden after the tray host went away"
listed "$window" || fail "the window came back without a taskbar entry"
kill -TERM "$pid"
wait "$pid" || fail "the program did not end cleanly"
pid=""

# Closed while minimised into the tray, it starts in the tray and keeps the sign.
start_tray
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=-3\r\n' \
    >"$ini"
start_program
read -r icon ix iy < <(tray_icon) || fail "the icon of a start in the tray was not embedded"
not_on_taskbar() { ! client_of Sarvendo; }
wait_for 50 not_on_taskbar || fail "a start with NewOrientation=-3 left the window on the taskbar"
[ -z "$(xdotool search --onlyvisible --name '^Sarvendo$' 2>/dev/null)" ] || fail "a start with NewOrientation=-3 showed the window"
kill -TERM "$pid"
wait "$pid" || fail "the program did not end cleanly"
pid=""
grep -q "NewOrientation=-3" "$ini" || fail "the stored layout lost its sign: $(grep NewOrientation "$ini")"
echo "PASS"
