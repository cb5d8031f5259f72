#!/usr/bin/env bash
# The tray icon of the real program in a real tray host: it is embedded, its picture
# follows the line on the simulated modem, a click brings the window back from the tray
# and a right click opens the popup menu.
#   TrayIconTest.sh PATH-TO-SARVENDO
# Needs Xvfb, openbox, trayer, xdotool, xwininfo, xprop and ImageMagick's import;
# without them the test is skipped (77).
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=../lib/desktop.sh
source "$(dirname "$0")/../lib/desktop.sh"
need_tools Xvfb openbox trayer xdotool xwininfo xprop import
work=$(mktemp -d)
start_desktop 800x600 tray
program_environment
# Quiet for four seconds, then received traffic on a connection: the icon must change.
cat >"$work/scenario.txt" <<'EOF'
port 1
0 dsr on
0 cts on
4 open pppd
4 carrier 33600
4.5 traffic 0 4000
60 end
EOF
export SARVENDO_SIMULATE="$work/scenario.txt"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nWarn when Exiting=1\r\n' \
    >"$SARVENDO_HOME/SARVENDO.INI"

(cd "$work" && exec timeout -k 5 90 "$program") 2>"$work/err" &
pid=$!
wait_for 300 grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"

# The icon is a small window embedded in trayer's panel.
read -r icon ix iy < <(tray_icon) || fail "no tray icon was embedded"
echo "icon $icon at $ix,$iy"

import -window root -crop 24x24+$ix+$iy "$work/before.png"
wait_for 150 sh -c "import -window root -crop 24x24+$ix+$iy $work/after.png && ! compare -metric AE $work/before.png $work/after.png null: 2>/dev/null" ||
    fail "the icon's picture did not follow the traffic"

window=$(client_of Sarvendo) || fail "the main window is not listed"
viewable() { xwininfo -id "$window" | grep -q "IsViewable"; }

# Minimised with the tray option on, the window leaves the screen and the taskbar.
xdotool windowminimize "$window"
wait_for 100 sh -c "! xwininfo -id $window | grep -q IsViewable" || fail "minimising did not hide the window"

# A click on the icon (a double click where the host sends one) brings it back.
xdotool mousemove $((ix + 10)) $((iy + 10)) click --repeat 2 --delay 80 1
wait_for 100 viewable || fail "a click on the icon did not bring the window back"

# A right click opens the popup menu: one more of the program's windows is on screen.
shown_windows() {
    local count=0
    for id in $(xwininfo -root -children | grep '("sarvendo"' | awk '{print $1}'); do
        xwininfo -id "$id" | grep -q IsViewable && count=$((count + 1))
    done
    echo "$count"
}
before=$(shown_windows)
xdotool mousemove $((ix + 10)) $((iy + 10)) click 3
wait_for 50 sh -c "[ \$(xwininfo -root -children | grep -c '(\"sarvendo\"') -gt 0 ]" || true
for _ in $(seq 1 50); do
    [ "$(shown_windows)" -gt "$before" ] && break
    sleep 0.1
done
[ "$(shown_windows)" -gt "$before" ] || fail "a right click on the icon opened no popup menu"
echo "PASS"
