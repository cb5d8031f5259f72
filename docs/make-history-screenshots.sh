#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Photographs the history window of the running program on the simulated modem, under a
# virtual X server with a window manager, into docs/screenshots/: the month view, the
# year view and the live traffic graph. The months before come from a connect log of a
# year of made-up calls, which the program imports at its first start, as it would a
# real one; the live graph shows the simulated connection that runs meanwhile.
#
#   docs/make-history-screenshots.sh [PATH-TO-SARVENDO]
# Needs Xvfb, openbox, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/release/bin/sarvendo}")"
out=docs/screenshots
mkdir -p "$out"

work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work/runtime" TZ=UTC LC_ALL=C LANG=C
mkdir -m 700 "$XDG_RUNTIME_DIR"
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
app=""
cleanup() {
    [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
    kill "$openbox" "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
openbox=""
trap cleanup EXIT
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
openbox=$!

wait_for() { # TRIES COMMAND...: runs COMMAND every 0.2 s until it succeeds
    local tries=$1
    shift
    for _ in $(seq 1 "$tries"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

# A year of calls in the connect log, one to three an evening, written as the program
# writes them under the C locale.
home="$work/home"
mkdir -p "$home"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nWindow Position X=40\r\nWindow Position Y=40\r\n' \
    >"$home/SARVENDO.INI"
first=$(date -d 2026-01-01 +%s)
last=$(date -d "$(date +%Y-%m-%d)" +%s)
total=0
seed=7
for ((day = first; day < last; day += 86400)); do
    for call in 1 2 3; do
        seed=$(((seed * 1103515245 + 12345) % 2147483648))
        ((call > 1 && seed % 3 != 0)) && continue
        start=$((day + 18 * 3600 + call * 5400 + seed % 1800))
        length=$((300 + seed % 4200))
        total=$((total + length))
        printf 'Connected: %s  Disconnected: %s  Session Time = %02d:%02d:%02d  Total Time = %02d:%02d:%02d  Sent: %d  Received: %d bytes\r\n' \
            "$(date -d "@$start" '+%-d %b %Y %H:%M:%S')" "$(date -d "@$((start + length))" '+%-d %b %Y %H:%M:%S')" \
            $((length / 3600)) $((length / 60 % 60)) $((length % 60)) \
            $((total / 3600)) $((total / 60 % 60)) $((total % 60)) \
            $((length * (200 + seed % 900))) $((length * (1500 + seed % 4000)))
    done
done >"$home/Sarvendo.DCD"

# The connection of now: a download with a few bursts of upload.
cat >"$work/scenario" <<'SCENARIO'
0     dsr on
0     cts on
0     open pppd
0     params 57600 8N1
0.5   carrier 33600
+0.5  traffic 300 3900
+8    traffic 2900 1200
+5    traffic 200 4100
+12   traffic 0 0
+6    traffic 600 3600
+9    traffic 3200 400
+4    traffic 100 2700
+10   traffic 900 4000
+600  end
SCENARIO

SARVENDO_HOME="$home" SARVENDO_SIMULATE="$work/scenario" "$program" >"$work/log" 2>&1 &
app=$!
client_of() { # the managed window of that title
    for candidate in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        if xprop -id "$candidate" _NET_WM_NAME | grep -q "= \"$1\"\$"; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}
wait_for 150 client_of Sarvendo || { cat "$work/log" >&2; echo "no main window" >&2; exit 1; }
main=$(client_of Sarvendo)

# The popup menu, its "System" submenu and "History...".
read -r x0 y0 < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
xdotool mousemove $((x0 + 30)) $((y0 + 12)) click 3
sleep 0.5
xdotool key y
sleep 0.3
xdotool key i
wait_for 50 client_of "Sarvendo History" || { cat "$work/log" >&2; echo "no history window" >&2; exit 1; }
window=$(client_of "Sarvendo History")
xdotool windowmove "$window" 200 20
# Let the live graph fill with a minute of the connection.
sleep 75
import -window "$window" -frame "$out/history-month.png"
# The graph alone: the rectangle of its dark green background.
geometry=$(convert "$out/history-month.png" -fill white +opaque 'rgb(0,24,0)' -trim -format '%wx%h%X%Y' info:)
convert "$out/history-month.png" -crop "$geometry" +repage "$out/history-live.png"
xdotool key --window "$window" alt+y
sleep 1
import -window "$window" -frame "$out/history-year.png"
echo "wrote $out/history-month.png, $out/history-year.png and $out/history-live.png"
