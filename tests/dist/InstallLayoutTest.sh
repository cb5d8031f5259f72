#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build tree with DESTDIR into a temporary directory and checks what lands
# where, what the desktop's validators say of it, and that the installed program finds
# its status driver module, its start-up sound and its documentation from its real
# executable. The installation writes nothing into the build tree and makes every
# directory 0755 whatever the umask. A validator that is missing skips the test (77)
# after everything else has been checked.
#   InstallLayoutTest.sh BUILD-DIR
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
trap 'kill -KILL "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
stage="$work/stage"
prefix=/usr
root="$stage$prefix"
id=org.sarvendo.sarvendo

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skipped=()
skip() {
    echo "SKIP: $*"
    skipped+=("$*")
}

# The build tree before and after: CMake's own list of installed files is all an
# installation may leave there.
snapshot() {
    (cd "$build" && find . -path ./Testing -prune -o ! -name 'install_manifest*.txt' -printf '%p %s %T@\n' | sort)
}
snapshot >"$work/build-before"
(umask 077 && DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >"$work/install.log") || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
}
snapshot >"$work/build-after"
diff "$work/build-before" "$work/build-after" >&2 || fail "cmake --install wrote into the build tree"
(cd "$stage" && find . -mindepth 1 -printf '%M %p\n' | sort -k2)
wrong=$(find "$stage/usr" -type d ! -perm 0755)
[ -z "$wrong" ] || fail "directories not 0755 under umask 077: $wrong"

# Nothing outside the prefix.
outside=$(find "$stage" -mindepth 1 -maxdepth 1 ! -path "$stage/usr")
[ -z "$outside" ] || fail "written outside the prefix: $outside"
outside=$(find "$stage/usr" -mindepth 1 -maxdepth 1 ! -name bin ! -name libexec ! -name share)
[ -z "$outside" ] || fail "unexpected directories: $outside"

# The program, with its modules and sound beside it; the command on the PATH is a
# relative link, so the tree still works wherever it is unpacked.
[ -x "$root/libexec/sarvendo/sarvendo" ] || fail "no program"
[ -f "$root/libexec/sarvendo/SARVEN95.VXD" ] || fail "no status driver module beside the program"
[ -f "$root/libexec/sarvendo/sarvendo-history.so" ] || fail "no history window module beside the program"
[ -f "$root/libexec/sarvendo/sarvendo-sound.so" ] || fail "no sound module beside the program"
[ -f "$root/libexec/sarvendo/Sarvendo.wav" ] || fail "no start-up sound beside the program"
[ -L "$root/bin/sarvendo" ] || fail "bin/sarvendo is not a link"
[ "$(readlink "$root/bin/sarvendo")" = "../libexec/sarvendo/sarvendo" ] || fail "bin/sarvendo -> $(readlink "$root/bin/sarvendo")"
[ -x "$root/bin/sarvendo-notify" ] || fail "no sarvendo-notify"

# Desktop integration.
desktop="$root/share/applications/$id.desktop"
metainfo="$root/share/metainfo/$id.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no metainfo"
grep -qx "Exec=$prefix/bin/sarvendo" "$desktop" || fail "desktop entry runs $(grep '^Exec=' "$desktop")"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry names another icon"
grep -qx "Terminal=false" "$desktop" || fail "desktop entry wants a terminal"
for size in 16 22 24 32 48 64 128 256; do
    png="$root/share/icons/hicolor/${size}x$size/apps/$id.png"
    [ -f "$png" ] || fail "no ${size}x$size icon"
    # The width and height stand big-endian at bytes 16 and 20 of a PNG file.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8}')
    [ "$width $height" = "$size $size" ] || fail "the ${size}x$size icon is ${width}x$height"
done
for page in sarvendo sarvendo-notify; do
    [ -f "$root/share/man/man1/$page.1.gz" ] || fail "no compressed man page $page(1)"
done
doc="$root/share/doc/sarvendo"
for script in ip-up ip-down; do
    example="$doc/examples/$script"
    [ -x "$example" ] || fail "no example $script"
    sh -n "$example" || fail "example $script does not parse"
    # shellcheck disable=SC2016 # the script's own variables, not this one's
    grep -q '"$notify" --user "$1" -- "$text"' "$example" || fail "example $script sends nothing"
    grep -qx "notify='$prefix/bin/sarvendo-notify'" "$example" || fail "example $script names another sarvendo-notify"
done
for file in README.md copyright changelog.gz changelog.Debian.gz; do
    [ -f "$doc/$file" ] || fail "no $file in the documentation"
done
grep -qx "License: GPL-3.0-or-later" "$doc/copyright" || fail "the copyright file names another licence"
zcat "$doc/changelog.Debian.gz" | head -1 | grep -q "^sarvendo ([0-9.]*-[0-9]*) " || fail "the Debian changelog starts otherwise"
if grep -l '@[A-Z_]*@' "$desktop" "$metainfo" "$doc/examples/ip-up" "$doc/examples/ip-down" ||
    zgrep -l '@[A-Z_]*@' "$root"/share/man/man1/*.1.gz; then
    fail "a placeholder was left unfilled"
fi

# The validators, where this machine has them: not a word from either, not even a hint
# or a pedantic remark.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" >"$work/validate" 2>&1 || fail "desktop-file-validate: $(cat "$work/validate")"
    [ ! -s "$work/validate" ] || fail "desktop-file-validate says: $(cat "$work/validate")"
else
    skip "desktop-file-validate is not installed (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$metainfo" >"$work/validate" 2>&1 ||
        fail "appstreamcli validate --pedantic: $(cat "$work/validate")"
    # Success is the one line that says so; anything else is a remark.
    if grep -v "^✔ Validation was successful" "$work/validate" | grep -q .; then
        fail "appstreamcli validate --pedantic says: $(cat "$work/validate")"
    fi
else
    skip "appstreamcli is not installed (package appstream)"
fi
if command -v man >/dev/null; then
    for page in sarvendo sarvendo-notify; do
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/$page.1.gz" >"$work/page" 2>"$work/warnings" ||
            fail "man -l $page.1.gz"
        [ ! -s "$work/warnings" ] || fail "man -l $page.1.gz warns: $(cat "$work/warnings")"
        grep -q "^SYNOPSIS" "$work/page" || fail "$page.1.gz renders without a synopsis"
    done
else
    skip "man is not installed (package man-db)"
fi

# Running the installed program. No X server, no session bus and a runtime directory
# of its own, so nothing of a running desktop is touched.
export QT_QPA_PLATFORM=offscreen
export SARVENDO_AUTO_ANSWER=yes
export XDG_RUNTIME_DIR="$work/run"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SARVENDO_SIMULATE
mkdir -p "$XDG_RUNTIME_DIR" "$work/cwd"
chmod 700 "$XDG_RUNTIME_DIR"
# ALSA's default device is a file sink, so the played sound can be compared.
export ALSA_CONFIG_PATH="$work/asound.conf"
printf 'pcm.default { type file slave { pcm { type null } } file "%s" format "raw" }\n' "$work/played.raw" \
    >"$ALSA_CONFIG_PATH"

# Starts a program from a directory without a Sarvendo.wav, waits until its event loop
# runs and ends it with SIGTERM. timeout passes a signal on to the program and, without
# --foreground, again to its whole process group: a second SIGTERM that reaches the
# program after its clean end has begun kills it, and the test would read that as a fault.
run() {
    rm -f "$work/played.raw"
    (cd "$work/cwd" && exec timeout --foreground -k 5 60 "$@") 2>"$work/err" &
    pid=$!
    for _ in $(seq 1 300); do
        grep -q "Sarvendo: event loop running" "$work/err" && break
        kill -0 "$pid" 2>/dev/null || { cat "$work/err" >&2; fail "$* ended during start-up"; }
        sleep 0.1
    done
    grep -q "Sarvendo: event loop running" "$work/err" || fail "$* did not come up"
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || { cat "$work/err" >&2; fail "$* ended with $status"; }
}

# The real line side, with every port mapped to a device that does not exist, so the
# status driver module is really loaded and no real port is ever opened.
export SARVENDO_HOME="$work/home"
mkdir -p "$SARVENDO_HOME"
printf '[Sarvendo: Devices]\r\nCOM1=%s/no-tty1\r\nCOM2=%s/no-tty2\r\nCOM3=%s/no-tty3\r\nCOM4=%s/no-tty4\r\n' \
    "$work" "$work" "$work" "$work" >"$SARVENDO_HOME/SARVENDO.INI"
run "$root/bin/sarvendo" 1
if grep -q "SARVEN95.VXD not found" "$work/err"; then
    fail "the installed program did not find its status driver module"
fi
# The sound it played is the one installed beside it: its samples follow the 44-byte
# header of the canonical file the build writes.
tail -c +45 "$root/libexec/sarvendo/Sarvendo.wav" | cmp -s - "$work/played.raw" ||
    fail "the installed program did not play the start-up sound beside it"

# The documentation is found from the real executable, through the link on the PATH.
"$root/bin/sarvendo" --help >"$work/help" || fail "sarvendo --help failed"
grep -qx "Documentation: $doc/README.md, and sarvendo(1)" "$work/help" ||
    fail "the installed program does not find its README: $(grep -i documentation "$work/help")"

# A copy of the program elsewhere, with nothing beside it, must miss all three: this is
# what the checks above would see if the lookup went wrong.
mkdir -p "$work/elsewhere"
cp "$root/libexec/sarvendo/sarvendo" "$work/elsewhere/sarvendo"
run "$work/elsewhere/sarvendo" 1
grep -q "SARVEN95.VXD not found" "$work/err" || fail "a program without its module gave no warning"
[ ! -s "$work/played.raw" ] || fail "a program without its sound played one"
"$work/elsewhere/sarvendo" --help >"$work/help"
if grep -q "Documentation:" "$work/help"; then
    fail "a program with no documentation beside it names some: $(grep Documentation: "$work/help")"
fi

# The desktop entry's command on the simulated modem.
export SARVENDO_SIMULATE=1
export SARVENDO_HOME="$work/simulated-home"
mkdir -p "$SARVENDO_HOME"
command=$(sed -n 's/^Exec=//p' "$desktop")
run "$stage$command" 1
if grep -q "SARVEN95.VXD" "$work/err"; then
    fail "the desktop entry's command warned about the status driver"
fi
if [ "${#skipped[@]}" -gt 0 ]; then
    echo "SKIP: everything else passed, but not checked: ${skipped[*]}"
    exit 77
fi
echo "PASS"
