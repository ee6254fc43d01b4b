# Running Windows programs under Wine on a private X server: source it for the functions.
# shellcheck shell=bash
#
#   wh_start_xvfb             a private Xvfb (24-bit colour, 1024 x 768) on a free display;
#                             sets DISPLAY
#   wh_prefix DIR [managed]   create (first time, wineboot) or reuse the Wine prefix DIR and
#                             export WINEPREFIX; 32-bit, no Mono or Gecko, Wine's own fonts
#                             copied in, window frames drawn by Wine itself (Managed=N), or
#                             with "managed" by a window manager (Managed=Y, UseTakeFocus=N);
#                             HOME is DIR-home from then on
#   wh_log_pixels DPI         the session's dots per inch (HKCU\Control Panel\Desktop
#                             LogPixels) as a user sets them, for the programs started from now
#                             on: Wine reads them as it starts, so a running wineserver ends
#   wh_start_openbox          the Openbox window manager on DISPLAY, once it takes requests
#   wh_cleanup                wineserver -k, stop Openbox and Xvfb (install it as an EXIT trap)
#
# Why these settings:
#   - Managed=N: no window manager is involved, so nothing reparents, moves or focuses the
#     windows behind the programs' backs, and Wine never waits for one. (Under a window
#     manager, Managed=Y, UseTakeFocus=N keeps Wine from acting on the manager's late
#     WM_TAKE_FOCUS messages, which race with synthetic input; tests/windows/windowmanager
#     runs there.)
#   - Debian's Wine does not find the fonts it ships (Tahoma, MS Sans Serif, ...) by itself
#     and falls back on the host's: they are copied into the prefix, so that texts are laid
#     out in the faces a Windows system has.
#   - WINEDEBUG=-all: Wine's own diagnostics would drown the test report.
#   - Nothing goes into the user's home folder: Wine's first start (wineboot) and its menu
#     builder would make menus, .desktop files and folders there, and Windows programs write
#     shortcuts that the menu builder would turn into more. Wine gets a home of its own beside
#     the prefix, and no menu builder (winemenubuilder.exe=d).
#
# Timings go to standard error as "wine: ... N s".

WH_SCREEN=${WH_SCREEN:-1024x768x24}
WH_XVFB_PID=
WH_WM_PID=
WH_TMP=

wh_log() { printf 'wine: %s\n' "$*" >&2; }

wh_start_xvfb() {
    local display
    WH_TMP=$(mktemp -d) || return 1
    mkfifo "$WH_TMP/displayfd" || return 1
    # Xvfb picks the first free display and writes its number once it takes clients.
    Xvfb -displayfd 3 -screen 0 "$WH_SCREEN" -nolisten tcp -noreset \
        3>"$WH_TMP/displayfd" >"$WH_TMP/xvfb.log" 2>&1 &
    WH_XVFB_PID=$!
    if ! read -r -t 15 display <"$WH_TMP/displayfd" || [ -z "$display" ]; then
        wh_log "Xvfb did not start:"
        cat "$WH_TMP/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$display"
}

# wh_x11_setting NAME VALUE: a string value of HKCU\Software\Wine\X11 Driver. user.reg is read
# first, so that wine reg (half a second) runs only when the value has to change.
wh_x11_setting() {
    local name=$1 want=$2 now
    now=$(awk -v name="$name" '
        /^\[Software\\\\Wine\\\\X11 Driver\]/ { s = 1; next }
        /^\[/ { s = 0 }
        s && index($0, "\"" name "\"=") == 1 { v = $0; sub(/^[^=]*=/, "", v); gsub(/"/, "", v); print v }' \
        "$WINEPREFIX/user.reg" 2>/dev/null)
    [ "$now" = "$want" ] && return 0
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$name" /t REG_SZ /d "$want" /f >/dev/null 2>&1 || return 1
    wineserver -w
}

wh_prefix() {
    local dir=$1 managed=${2:-} start
    mkdir -p "$(dirname "$dir")" || return 1
    export WINEPREFIX
    WINEPREFIX=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
    export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export HOME=$WINEPREFIX-home
    mkdir -p "$HOME" || return 1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        start=$SECONDS
        wineboot -i >"$WH_TMP/wineboot.log" 2>&1 || { cat "$WH_TMP/wineboot.log" >&2; return 1; }
        wineserver -w
        wh_log "new prefix $WINEPREFIX made in $((SECONDS - start)) s"
    fi
    cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    if [ "$managed" = managed ]; then
        wh_x11_setting Managed Y && wh_x11_setting UseTakeFocus N
    else
        wh_x11_setting Managed N
    fi
}

wh_log_pixels() {
    local dpi=$1 now
    now=$(awk '
        /^\[Control Panel\\\\Desktop\]/ { s = 1; next }
        /^\[/ { s = 0 }
        s && index($0, "\"LogPixels\"=dword:") == 1 { sub(/^[^:]*:/, ""); print }' \
        "$WINEPREFIX/user.reg" 2>/dev/null)
    [ "$now" = "$(printf %08x "$dpi")" ] && return 0
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || return 1
    wineserver -k
    wineserver -w
}

wh_start_openbox() {
    local _
    # Its settings are the system's, its log goes to a folder of this run's.
    XDG_CONFIG_HOME=$WH_TMP/config XDG_CACHE_HOME=$WH_TMP/cache openbox --sm-disable \
        >"$WH_TMP/openbox.log" 2>&1 &
    WH_WM_PID=$!
    # Named on the root window early, it lists the windows it manages once it takes requests.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK _NET_CLIENT_LIST_STACKING 2>/dev/null |
            grep -q '^_NET_CLIENT_LIST_STACKING(WINDOW)' && return 0
        kill -0 "$WH_WM_PID" 2>/dev/null || break
        sleep 0.1
    done
    wh_log "openbox did not start:"
    cat "$WH_TMP/openbox.log" >&2
    return 1
}

wh_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    if [ -n "$WH_WM_PID" ]; then
        kill "$WH_WM_PID" 2>/dev/null
        wait "$WH_WM_PID" 2>/dev/null
        WH_WM_PID=
    fi
    if [ -n "$WH_XVFB_PID" ]; then
        kill "$WH_XVFB_PID" 2>/dev/null
        wait "$WH_XVFB_PID" 2>/dev/null
        WH_XVFB_PID=
    fi
    if [ -n "$WH_TMP" ]; then rm -rf "$WH_TMP"; fi
    WH_TMP=
    return 0
}
