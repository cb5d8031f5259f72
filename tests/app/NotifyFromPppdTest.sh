#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The dial-up notification as pppd really sends it: ip-up runs as root with an empty
# environment, while Sarvendo runs as the desktop user on that user's own session bus.
# sarvendo-notify --user must find that bus, become the user and deliver, and the lights
# program must start at most once a second however many notifications come.
# As root the user is "nobody", so the change of user is exercised, the user's bus lies
# where a login puts it, /run/user/UID, and the installed ip-up and ip-down scripts run as
# pppd runs them: as root, with nothing in the environment but pppd's variables. Otherwise
# the test sends for its own user and skips the scripts.
#   NotifyFromPppdTest.sh PATH-TO-SARVENDO PATH-TO-SARVENDO-NOTIFY BUILD-DIR
set -euo pipefail

program=$(realpath "$1")
notify=$(realpath "$2")
build=$(realpath "$3")
command -v dbus-daemon >/dev/null || { echo "SKIP: no dbus-daemon"; exit 77; }

if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIP: no setpriv"; exit 77; }
    id nobody >/dev/null 2>&1 || { echo "SKIP: no user nobody"; exit 77; }
    user=nobody
    as_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups)
else
    user=$(id -un)
    as_user=()
fi
uid=$(id -u "$user")

work=$(mktemp -d)
made=""
made_root=""
cleanup() {
    kill -KILL "${pid:-}" "${bus_pid:-}" 2>/dev/null || true
    [ -z "$made" ] || rm -rf "$made"
    # /run/user itself only while empty: another session may have come meanwhile.
    [ -z "$made_root" ] || rmdir "$made_root" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
runroot="$work/run"
if [ "$user" != "$(id -un)" ]; then
    # The user's runtime directory where a login makes it; one that exists already belongs
    # to someone's session and is left alone.
    runroot=/run/user
    [ ! -e "$runroot/$uid" ] || { echo "SKIP: $runroot/$uid exists already"; exit 77; }
    [ -d /run/user ] || made_root=/run/user
    made="$runroot/$uid"
fi
runtime="$runroot/$uid"
mkdir -p "$runtime" "$work/home" "$work/out" "$work/bin"
chmod 700 "$runtime"
chmod 777 "$work/out"
[ "$user" = "$(id -un)" ] || chown "$user" "$runtime" "$work/home"

# pppd's scripts get an empty environment; only the sanitizers' settings of a test run
# are passed on, since they are the test's and not the program's.
keep=()
for variable in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [ -n "${!variable:-}" ] && keep+=("$variable=${!variable}")
done
# LeakSanitizer cannot look into a process that has changed its user (the kernel no longer
# lets it be traced), so the sender's leaks are left to the tests that run it unchanged.
sender=("${keep[@]}")
[ -n "${ASAN_OPTIONS:-}" ] && sender+=("ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0")

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output ---" >&2
    cat "$work/err" >&2 || true
    exit 1
}

bus_pid=$("${as_user[@]}" dbus-daemon --session --address="unix:path=$runtime/bus" --fork --print-pid=1)
for _ in $(seq 1 100); do
    [ -S "$runtime/bus" ] && break
    sleep 0.05
done
[ -S "$runtime/bus" ] || fail "the private session bus did not come up"

# The lights program notes each start and its arguments.
printf '#!/bin/sh\n{ echo run; printf "%%s\\n" "$@"; } >>"%s"\n' "$work/out/lights" >"$work/bin/lights!.exe"
chmod 755 "$work/bin/lights!.exe"
printf '[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nRun Lights=1\r\n' >"$work/home/SARVENDO.INI"
[ "$user" = "$(id -un)" ] || chown "$user" "$work/home/SARVENDO.INI"

: >"$work/err"
"${as_user[@]}" env -i "${keep[@]}" PATH="$work/bin:/usr/bin:/bin" HOME="$work/home" QT_QPA_PLATFORM=offscreen SARVENDO_SIMULATE=1 \
    SARVENDO_HOME="$work/home" SARVENDO_AUTO_ANSWER=yes XDG_RUNTIME_DIR="$runtime" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" "$program" 1 2>"$work/err" &
pid=$!
for _ in $(seq 1 300); do
    grep -q "Sarvendo: event loop running" "$work/err" && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended during start-up"
    sleep 0.1
done
grep -q "Sarvendo: event loop running" "$work/err" || fail "the program did not come up"

runs() { grep -c '^run$' "$work/out/lights" 2>/dev/null || true; }
wait_runs() {
    for _ in $(seq 1 100); do
        [ "$(runs)" -ge "$1" ] && return 0
        sleep 0.05
    done
    return 0
}

# 1. As ip-up runs it today, without --user: no bus, and the reason says what to do.
set +e
env -i "${sender[@]}" "$notify" "1 2 ppp0" 2>"$work/no-user"
status=$?
set -e
[ "$status" -eq 1 ] || fail "without --user the exit status was $status"
grep -q -- "--user" "$work/no-user" || fail "no hint at --user: $(cat "$work/no-user")"

# 2. With --user: delivered, and the lights program gets the words.
env -i "${sender[@]}" "$notify" --user "$user" --runtime-root "$runroot" "12 345 ppp0" || fail "sarvendo-notify --user failed"
wait_runs 1
[ "$(runs)" -eq 1 ] || fail "lights!.exe ran $(runs) times"
[ "$(tr '\n' '|' <"$work/out/lights")" = "run|12|345|ppp0|" ] || fail "lights!.exe got: $(cat "$work/out/lights")"

# 3. A burst a second later: every notification is delivered, the program starts once.
sleep 1.2
burst=()
for i in 1 2 3 4; do
    env -i "${sender[@]}" "$notify" --user "$user" --runtime-root "$runroot" "$i 9 burst" &
    burst+=($!)
done
for one in "${burst[@]}"; do
    wait "$one" || fail "a notification of the burst was not delivered"
done
sleep 0.5
[ "$(runs)" -eq 2 ] || fail "a burst started lights!.exe $(( $(runs) - 1 )) times"

# 4. Wrong use is refused with its own status, and nothing is started.
set +e
env -i "${sender[@]}" "$notify" --user no-such-user-sarvendo "1 2 x" 2>/dev/null
[ $? -eq 2 ] || fail "an unknown user was not refused"
env -i "${sender[@]}" "$notify" --user "$user" --runtime-root "$work/nowhere" "1 2 x" 2>"$work/nowhere-err"
[ $? -eq 1 ] || fail "a user without a bus was not reported"
set -e
grep -q "has no session bus" "$work/nowhere-err" || fail "no reason given: $(cat "$work/nowhere-err")"

# 5. As root, the bus takes the text only because the sender became the user: root
#    itself is not let on that user's bus.
if [ "$(id -u)" -eq 0 ]; then
    if env -i "${sender[@]}" DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" "$notify" "1 2 as-root" 2>/dev/null; then
        fail "root was let on the user's bus, so the change of user proves nothing"
    fi
fi

# 6. The installed ip-up and ip-down, run as pppd runs them: as root, with pppd's
#    variables and nothing else, not even a PATH.
scripts=""
if [ "$(id -u)" -eq 0 ]; then
    cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || fail "cmake --install: $(cat "$work/install.log")"
    scripts="$work/prefix/share/doc/sarvendo/examples"
    pppd_env=(PPPD_PID=4321 IFNAME=ppp7 DEVICE=/dev/ttyS9 SPEED=115200 IPLOCAL=10.0.0.2 IPREMOTE=10.0.0.1
              PEERNAME= LINKNAME= CALL_FILE=provider ORIG_UID=0)
    sleep 1.2 # the lights program starts at most once a second
    before=$(runs)
    env -i "${sender[@]}" "${pppd_env[@]}" PPPLOGNAME="$user" "$scripts/ip-up" ppp7 /dev/ttyS9 115200 10.0.0.2 10.0.0.1 "" \
        2>"$work/ip-up.err" || fail "ip-up delivered nothing: $(cat "$work/ip-up.err")"
    wait_runs $((before + 1))
    [ "$(tail -3 "$work/out/lights" | tr '\n' ' ')" = "4321 1 ppp7 " ] || fail "ip-up sent: $(tail -3 "$work/out/lights")"
    # Without PPPLOGNAME the owner of the running Sarvendo hears it.
    sleep 1.2
    env -i "${sender[@]}" "${pppd_env[@]}" "$scripts/ip-down" ppp7 /dev/ttyS9 115200 10.0.0.2 10.0.0.1 "" \
        2>"$work/ip-down.err" || fail "ip-down found no Sarvendo: $(cat "$work/ip-down.err")"
    wait_runs $((before + 2))
    [ "$(tail -3 "$work/out/lights" | tr '\n' ' ')" = "4321 0 ppp7 " ] || fail "ip-down sent: $(tail -3 "$work/out/lights")"
fi

kill -TERM "$pid"
wait "$pid" || fail "the program did not end cleanly"
pid=

if [ -n "$scripts" ]; then
    # 7. With no Sarvendo left to hear it, the script fails and says so.
    set +e
    env -i "${sender[@]}" "${pppd_env[@]}" PPPLOGNAME="$user" "$scripts/ip-up" 2>"$work/ip-up.err"
    status=$?
    set -e
    [ "$status" -ne 0 ] || fail "ip-up succeeded with no Sarvendo running"
    grep -q "sarvendo: ip-up: \"4321 1 ppp7\" was delivered to no Sarvendo ($user: " "$work/ip-up.err" ||
        fail "ip-up did not say what failed: $(cat "$work/ip-up.err")"
else
    echo "SKIP: the ip-up and ip-down scripts run as root, as pppd runs them; not root here"
    exit 77
fi
echo "PASS"
