#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program, headless on a scenario of the simulated modem with two connections of
# known length and traffic and a third left idle until Sarvendo hangs it up, then
# `sarvendo --history`: the first two listed with the right seconds (within one), the
# bytes the connect log counted and `carrier` as their end, the third ended by `hangup`,
# and `--by day` giving their sum. A second `--history` while nothing changed prints
# the same, and the file is the user's alone.
#   HistoryCommandTest.sh PATH-TO-SARVENDO
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=../lib/headless.sh
source "$(dirname "$0")/../lib/headless.sh"
trap 'kill -KILL "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

wait_for() { # TENTHS COMMAND...
    local tenths=$1
    shift
    for _ in $(seq 1 "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

cat >"$work/scenario.txt" <<'SCENARIO'
port 1
0 dsr on
0 cts on
0 dtr on
1 open pppd
+1 carrier 33600
+0 traffic 1000 2000
+10 traffic 0 0
+0 carrier off
+3 carrier 28800
+0 traffic 500 4000
+15 traffic 0 0
+0 carrier off
+3 carrier 33600
+600 end
SCENARIO
export SARVENDO_SIMULATE="$work/scenario.txt"
printf '%b' '[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nLog DCD=1\r\nDCD Interval=1\r\n' \
    'Log total bytes=1\r\nDisconnect if Inactive=1\r\nDisconnect time if Inactive=0\r\n' \
    'Disconnect time if Inactive, Seconds=5\r\n' \
    >"$ini"
start
records() { [ "$(grep -c "Received:" "$SARVENDO_HOME/Sarvendo.DCD" 2>/dev/null)" -eq 3 ]; }
wait_for 900 records || fail "the connect log did not get all three connections"
stop

[ "$(stat -c %a "$SARVENDO_HOME/history.sqlite")" = 600 ] || fail "history.sqlite is not the user's alone"
csv=$("$program" --history --csv) || fail "--history --csv failed"
echo "$csv"
[ "$(echo "$csv" | head -n 1)" = "start,end,port,seconds,sent,received,speed,ended_by" ] || fail "wrong CSV header"
[ "$(echo "$csv" | wc -l)" -eq 4 ] || fail "not three sessions"
[ "$(echo "$csv" | tail -n 1 | cut -d, -f8)" = hangup ] || fail "the idle connection did not end by Sarvendo's hang-up"
all=$csv
csv=$(echo "$csv" | head -n 3)
n=0
total_seconds=0
total_sent=0
total_received=0
while IFS=, read -r start end port seconds sent received speed ended_by; do
    n=$((n + 1))
    expected=$([ "$n" -eq 1 ] && echo 10 || echo 15)
    [ "$seconds" -ge $((expected - 1)) ] && [ "$seconds" -le $((expected + 1)) ] ||
        fail "session $n lasted $seconds s, not $expected"
    read -r logged_sent logged_received < <(sed -n "${n}s/.*Sent: \([0-9]*\)  Received: \([0-9]*\) bytes.*/\1 \2/p" \
        "$SARVENDO_HOME/Sarvendo.DCD")
    [ "$sent" = "$logged_sent" ] && [ "$received" = "$logged_received" ] ||
        fail "session $n moved $sent/$received bytes, the connect log says $logged_sent/$logged_received"
    [ "$ended_by" = carrier ] || fail "session $n ended by $ended_by"
    [ "$port" = COM1 ] && [ -n "$start" ] && [ -n "$end" ] && [ -n "$speed" ] || fail "session $n lacks a field"
    total_seconds=$((total_seconds + seconds))
    total_sent=$((total_sent + sent))
    total_received=$((total_received + received))
done < <(echo "$csv" | tail -n +2)
# The idle third moved nothing; its seconds count in the day's sum.
total_seconds=$((total_seconds + $(echo "$all" | tail -n 1 | cut -d, -f4)))
day=$("$program" --history --by day --csv | tail -n 1)
echo "$day"
IFS=, read -r _ calls sessions seconds sent received _ <<<"$day"
[ "$sessions" -eq 3 ] && [ "$sent" -eq "$total_sent" ] && [ "$received" -eq "$total_received" ] ||
    fail "--by day does not give the sum of the sessions"
[ $((seconds - total_seconds)) -ge -1 ] && [ $((seconds - total_seconds)) -le 1 ] ||
    fail "--by day gives $seconds s, the sessions $total_seconds s"
[ "$("$program" --history --csv | head -n 3)" = "$csv" ] || fail "a second --history changed what is listed"
"$program" --history --by week 2>"$work/usage" && fail "--by week was taken"
grep -q "Usage: sarvendo --history" "$work/usage" || fail "a wrong option gave no usage"
echo "ok: three sessions, how they ended, their sum, and a private file"
