# Shared by the scripts: where things are, the display and the Wine prefix.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${QC_BUILD:-$ROOT/build}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

configure() {  # arch [extra cmake args...]
    local arch="$1"; shift
    local dir="$BUILD/$arch"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
              -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    fi
}

configure_and_build() {  # arch [extra cmake args...]
    configure "$@"
    cmake --build "$BUILD/$1" -j "$(nproc)"
}

# Starts Xvfb when no display is given; XVFB_PID is set when we started one.
# Another session may take the same free display number at the same moment:
# then our Xvfb ends at once and the next free number is tried.
ensure_display() {  # [geometry]
    local geometry="${1:-1024x768x24}"
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n attempt
    for attempt in 1 2 3 4 5; do
        for n in $(seq 90 499); do
            [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
        done
        Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if xdpyinfo >/dev/null 2>&1; then
                # The display answering may be another's: ours must still run.
                sleep 0.2
                kill -0 "$XVFB_PID" 2>/dev/null && return 0
                break
            fi
            sleep 0.1
        done
        stop_display
        unset XVFB_PID DISPLAY
        sleep "0.$((RANDOM % 9 + 1))"
    done
    echo "Xvfb did not start at $geometry" >&2
    return 1
}

stop_display() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}

ensure_wineprefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        local t0=$SECONDS
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        echo "wine prefix created in $((SECONDS - t0)) s"
    fi
    # Settings of the prefix, applied once per version of this list.
    local marker="$WINEPREFIX/.qc-settings-2"
    if [ ! -f "$marker" ]; then
        # A crashing test must fail, not wait on the crash dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
        # With no window manager on the display, Wine draws the frames and
        # captions itself, as Windows does.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
        wineserver -k 2>/dev/null || true
        wineserver -w
        touch "$marker"
    fi
}

# Starts the Wine server and its service processes with their output on
# /dev/null: started from inside ctest they would inherit its output pipe and
# keep it waiting after the test has ended.
start_wine_services() {
    wineserver -p 2>/dev/null || true
    wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
}
