#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a Sarvendo Debian package on this machine, starts the menu entry's command on
# the simulated modem and removes the package again, checking that nothing is left.
# It changes the system's packages, so it runs as root and only when asked: it is not
# part of ./scripts/test (scripts/package --check runs it).
#   check-deb.sh PATH-TO.deb
set -euo pipefail

deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || {
    echo "check-deb.sh changes the installed packages: run it as root" >&2
    exit 2
}
if dpkg-query -W -f='${Status}' sarvendo 2>/dev/null | grep -q 'ok installed'; then
    echo "sarvendo is already installed here; remove it first so this check cannot clobber it" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'kill -KILL "${pid:-}" "${x_pid:-}" 2>/dev/null || true; wait 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() {
    echo "== $*"
}

step "Installing $deb"
# apt-get fetches the dependencies dpkg -i would complain about; recommended packages are
# left out, so the package's own dependencies must be enough to run it.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2
    fail "the package does not install"
}
dpkg-query -W -f='${Status} ${Version}\n' sarvendo
dpkg-query -L sarvendo | sort >"$work/files"
for file in /usr/bin/sarvendo /usr/bin/sarvendo-notify /usr/libexec/sarvendo/sarvendo /usr/libexec/sarvendo/SARVEN95.VXD \
    /usr/libexec/sarvendo/sarvendo-history.so /usr/libexec/sarvendo/sarvendo-sound.so /usr/libexec/sarvendo/Sarvendo.wav /usr/share/applications/org.sarvendo.sarvendo.desktop \
    /usr/share/metainfo/org.sarvendo.sarvendo.metainfo.xml /usr/share/man/man1/sarvendo.1.gz \
    /usr/share/icons/hicolor/48x48/apps/org.sarvendo.sarvendo.png /usr/share/doc/sarvendo/copyright \
    /usr/share/doc/sarvendo/changelog.Debian.gz; do
    grep -qx "$file" "$work/files" || fail "the package lacks $file"
    [ -e "$file" ] || fail "$file is not on the system"
done
command -v sarvendo >/dev/null || fail "sarvendo is not on the PATH"
# The modules are loaded only when first needed: the package's dependencies must bring
# their libraries all the same.
for module in /usr/libexec/sarvendo/sarvendo-history.so /usr/libexec/sarvendo/sarvendo-sound.so; do
    if ldd "$module" | grep -q "not found"; then
        fail "$module lacks libraries: $(ldd "$module" | grep "not found")"
    fi
done

step "Starting the menu entry's command on the simulated modem"
command=$(sed -n 's/^Exec=//p' /usr/share/applications/org.sarvendo.sarvendo.desktop)
echo "$command"
export SARVENDO_SIMULATE=1
export SARVENDO_HOME="$work/home"
export SARVENDO_AUTO_ANSWER=yes
export XDG_RUNTIME_DIR="$work/run"
unset DBUS_SESSION_BUS_ADDRESS
mkdir -p "$SARVENDO_HOME" "$XDG_RUNTIME_DIR" "$work/cwd"
chmod 700 "$XDG_RUNTIME_DIR"
# On an X server of its own, so the X11 platform plugin the package depends on is tried
# and the window can be waited for.
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps package installs it)"
done
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
x_pid=$!
read -r -t 20 number <&"$fd" || fail "Xvfb did not start"
export DISPLAY=":$number"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# The command is a single path (no arguments in the entry), run as the menu would.
(cd "$work/cwd" && exec timeout --foreground -k 5 60 "$command") 2>"$work/err" &
pid=$!
for _ in $(seq 1 300); do
    grep -q "Sarvendo: event loop running" "$work/err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
grep -q "Sarvendo: event loop running" "$work/err" || {
    cat "$work/err" >&2
    fail "the installed program did not come up"
}
# Its window on the screen.
timeout 30 xdotool search --sync --onlyvisible --name '^Sarvendo$' >/dev/null ||
    fail "the installed program showed no window"
# The program itself, not a wrapper around it: the installed executable running with
# this check's settings directory.
program=""
for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = /usr/libexec/sarvendo/sarvendo ] || continue
    if tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qx "SARVENDO_HOME=$SARVENDO_HOME"; then
        program=${proc#/proc/}
    fi
done
[ -n "$program" ] || fail "the installed program is not running"
kill -TERM "$program"
status=0
wait "$pid" || status=$?
pid=
cat "$work/err"
[ "$status" -eq 0 ] || fail "the program ended with $status after SIGTERM"
if grep -q "SARVEN95.VXD" "$work/err"; then
    fail "the installed program warned about its status driver"
fi
grep -qx "Show Logo at Startup=1" <(tr -d '\r' <"$SARVENDO_HOME/SARVENDO.INI") ||
    fail "the program saved no settings at exit"

step "Removing the package"
dpkg -r sarvendo
# Without conffiles or maintainer scripts nothing of the package is kept for a purge.
status=$(dpkg-query -W -f='${Status}' sarvendo 2>/dev/null || true)
case "$status" in
"" | *" not-installed") ;;
*) fail "sarvendo is left in the state \"$status\"" ;;
esac
while read -r file; do
    # Shared directories such as /usr/share/man stay; everything of the package's own goes.
    if [ -e "$file" ] && [ ! -d "$file" ]; then
        fail "$file is left behind"
    fi
done <"$work/files"
[ ! -e /usr/libexec/sarvendo ] || fail "/usr/libexec/sarvendo is left behind"
[ ! -e /usr/share/doc/sarvendo ] || fail "/usr/share/doc/sarvendo is left behind"
echo "PASS: installed, started and removed"
