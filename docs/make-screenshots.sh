#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Photographs the running program in each of its five layouts on the simulated modem,
# under a virtual X server with a window manager, into docs/screenshots/.
#
#   docs/make-screenshots.sh [PATH-TO-SARVENDO]
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/release/bin/sarvendo}")"
out=docs/screenshots
mkdir -p "$out"

work="$(mktemp -d)"
# A runtime directory of its own, so a copy of Sarvendo running elsewhere on this machine
# does not count as the single running copy.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1
openbox >/dev/null 2>&1 &
openbox=$!
app=""
cleanup() {
    [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
    kill "$openbox" "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
sleep 1

# A connection that comes up at once and carries traffic both ways.
cat >"$work/scenario" <<'SCENARIO'
0     dsr on
0     cts on
0     dtr on
0     rts on
0     open pppd
0     params 57600 8N1
0.5   carrier 33600
+0.5  traffic 3100 2900
+1    traffic 2400 3300
+1    traffic 3100 0
+1    traffic 0 2900
+60   end
SCENARIO

for layout in 1 2 3 4 5; do
    home="$work/home$layout"
    mkdir -p "$home"
    cat >"$home/SARVENDO.INI" <<INI
[Sarvendo: Main]
Default Port=1
Show Logo at Startup=0

[Sarvendo on COM1]
NewOrientation=$layout
Window Position X=40
Window Position Y=40
Status in Display=1
SPY Speed in Display=1
Display connect time=1
INI
    SARVENDO_HOME="$home" SARVENDO_SIMULATE="$work/scenario" "$program" >"$work/log$layout" 2>&1 &
    app=$!
    # Wait for the window, then for the connection to carry traffic.
    window=""
    for _ in $(seq 1 30); do
        window="$(xdotool search --pid "$app" --onlyvisible --name Sarvendo 2>/dev/null | head -n 1 || true)"
        [[ -n "$window" ]] && break
        sleep 0.5
    done
    sleep 4
    if [[ -z "$window" ]]; then
        echo "layout $layout: no window found" >&2
        cat "$work/log$layout" >&2
        exit 1
    fi
    import -window "$window" -frame "$out/layout$layout.png"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
done
echo "written to $out"
