# Shared by scripts/run and scripts/test: installing what is missing and building.
# shellcheck shell=bash

QUORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_packages LIST...: installs the Debian packages named in the list files (one a line,
# blank lines and lines starting with # left out) that are not installed yet. It says which in
# one line and keeps apt's progress in a log, shown only when apt fails. When another program is
# installing packages it waits for it, saying so once, up to QUORVEL_APT_LOCK_TIMEOUT seconds
# (10 minutes unless set).
install_packages() {
    local list wanted=() missing=() pkg log
    # Read by apt_get_waiting: how long to wait, until when, and whether the wait was said.
    local apt_timeout=${QUORVEL_APT_LOCK_TIMEOUT:-600} apt_deadline apt_waiting_said=
    [ $# -gt 0 ] || { echo "install_packages: no package list given" >&2; return 1; }
    for list in "$@"; do
        [ -r "$list" ] || { echo "install_packages: cannot read the package list $list" >&2; return 1; }
    done
    [[ $apt_timeout =~ ^[0-9]+$ ]] || {
        echo "install_packages: QUORVEL_APT_LOCK_TIMEOUT is '$apt_timeout'," \
            "not a number of seconds" >&2
        return 1
    }
    mapfile -t wanted < <(grep -h -v -E '^\s*(#|$)' "$@" | awk '!seen[$0]++')
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    apt_deadline=$((SECONDS + 10#$apt_timeout))
    log=$(mktemp -t quorvel-apt.XXXXXX) || return 1
    apt_get_waiting "$log" update || return 1
    apt_get_waiting "$log" install -y --no-install-recommends "${missing[@]}" || return 1
    rm -f "$log"
}

# apt_get_waiting LOG ARGS...: apt-get ARGS as root, what it prints added to LOG, for
# install_packages. Only one program at a time may install packages. apt waits for dpkg's lock
# itself when told how long (DPkg::Lock::Timeout), but not for the lock on its lists (apt-get
# update) or on its download folder: a command that failed on one of those is run again every
# 2 s. Either wait is said once and ends at apt_deadline (a time in bash's SECONDS). When apt
# fails, the end of what it printed is shown and LOG is kept.
apt_get_waiting() {
    local log=$1 attempt=$1.attempt status left
    shift
    while :; do
        left=$((apt_deadline - SECONDS))
        [ "$left" -gt 0 ] || left=0
        status=0
        (
            set -o pipefail
            as_root env LC_ALL=C DEBIAN_FRONTEND=noninteractive \
                apt-get -q -o DPkg::Lock::Timeout="$left" "$@" 2>&1 | apt_output "$attempt"
        ) || status=$?
        cat "$attempt" >>"$log"
        grep -q '^Waiting for cache lock' "$attempt" && apt_waiting_said=1
        if [ "$status" -ne 0 ] && grep -q '^E: Could not get lock' "$attempt" &&
            [ "$SECONDS" -lt "$apt_deadline" ]; then
            say_waiting_for_lock
            sleep 2
            continue
        fi
        break
    done
    if [ "$status" -ne 0 ]; then
        {
            if grep -q '^E: Could not get lock' "$attempt"; then
                echo "install_packages: another program was still installing packages after" \
                    "$apt_timeout s (QUORVEL_APT_LOCK_TIMEOUT); try again once it is done."
            fi
            echo "install_packages: apt-get $1 failed (status $status); the end of what it said" \
                "(all of it in $log):"
            grep -v "^Waiting for cache lock" "$attempt" | tail -n 20
        } >&2
    fi
    rm -f "$attempt"
    return "$status"
}

# apt_output FILE: writes what apt-get prints to FILE, showing only that it waits for a lock.
apt_output() {
    local line
    : >"$1"
    while IFS= read -r line || [ -n "$line" ]; do
        printf '%s\n' "$line" >>"$1"
        case $line in "Waiting for cache lock"*) say_waiting_for_lock ;; esac
    done
}

# say_waiting_for_lock: says that install_packages waits for another program, once.
say_waiting_for_lock() {
    [ -z "$apt_waiting_said" ] || return 0
    echo "Waiting for another program to finish installing packages..."
    apt_waiting_said=1
}

# configure_and_build BUILD_DIR BUILD_TYPE [--target TARGET] [extra cmake arguments...]:
# configures, then builds TARGET and what it needs, or everything without --target.
configure_and_build() {
    local dir=$1 type=$2 target=()
    shift 2
    if [ "${1:-}" = --target ]; then
        [ $# -ge 2 ] || { echo "configure_and_build: --target needs a target" >&2; return 1; }
        target=(--target "$2")
        shift 2
    fi
    cmake -S "$QUORVEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" --parallel "${target[@]}"
}

# build_test_suites BUILD_DIR BUILD_TYPE [extra cmake arguments...]: configures, then builds
# only the test suites and what they run (the target quorvel_test_suites), not the packaging
# checks, the tests of these scripts or the tools beside them.
build_test_suites() {
    local dir=$1 type=$2
    shift 2
    configure_and_build "$dir" "$type" --target quorvel_test_suites "$@"
}

# reproducible_environment: exports what makes two builds of one commit, in two clones, the
# same to the byte: SOURCE_DATE_EPOCH (kept when set, else the commit's time), the one time
# every tool that stamps a time writes (Qt's resource compiler, the zip's entries, the Debian
# package); TZ=UTC, as a zip keeps local times; the C locale, for every sorted list; and the
# file modes of umask 022.
reproducible_environment() {
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        if ! SOURCE_DATE_EPOCH=$(git -C "$QUORVEL_ROOT" log -1 --format=%ct 2>/dev/null) ||
            [ -z "$SOURCE_DATE_EPOCH" ]; then
            # Not a clone: the time the sources were last changed.
            SOURCE_DATE_EPOCH=$(find "$QUORVEL_ROOT" -path "$QUORVEL_ROOT/build" -prune -o -type f \
                -printf '%T@\n' | sort -n | tail -1 | cut -d. -f1)
        fi
    fi
    export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
    umask 022
}

# ---- the Windows build: scripts/build-windows, the Windows test stage, bench/windows ----

# install_windows_packages LIST...: install_packages, with the i386 architecture added first
# when a list names a package of it (Wine's 32-bit half, wine32:i386).
install_windows_packages() {
    if grep -h -v -E '^\s*(#|$)' "$@" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture (for wine32)"
        as_root dpkg --add-architecture i386
    fi
    install_packages "$@"
}

# configure_windows BUILD_DIR [extra cmake arguments...]: the cross-build for 32-bit Windows,
# Release, with the MinGW toolchain of cmake/mingw-i686.cmake.
configure_windows() {
    local dir=$1
    shift
    cmake -S "$QUORVEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUORVEL_ROOT/cmake/mingw-i686.cmake" "$@" >/dev/null
}

# ---- the browser build: scripts/build-web, the web test stage, bench/web ----

# use_emscripten: Debian's Emscripten runs JavaScript tools of its own under Node, with Debian's
# Node modules (acorn among them); a Node that is not Debian's is shown where those are.
use_emscripten() {
    if ! node -e 'require("acorn")' >/dev/null 2>&1; then
        export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    fi
}

# private_home DIR: HOME and the XDG folders under DIR, for a program that writes there whatever
# it is told (Chromium's crash reporter keeps its settings in ~/.config/chromium beside any profile).
private_home() {
    mkdir -p "$1"
    export HOME=$1 XDG_CONFIG_HOME=$1/.config XDG_CACHE_HOME=$1/.cache
}

# configure_web BUILD_DIR [extra cmake arguments...]: the page, Release, with Emscripten's
# toolchain; the program alone (the test suites and the drawing tools are the desktop's).
configure_web() {
    local dir=$1
    shift
    emcmake cmake -S "$QUORVEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_TOOLS=OFF "$@" >/dev/null
}
