# Shared steps of the project's scripts: installing what is missing, building, and starting the
# virtual display, the Wine prefix and the wineserver that the launcher runs in. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
PYTHON=/usr/bin/python3

# Debian packages the build, the runs and the tests need.
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-x86-64 wine64 wine xvfb xdotool x11-utils x11-apps imagemagick
          python3 python3-pil python3-pytest nginx-light curl nsis zip unzip
          fonts-dejavu-core fonts-comic-neue fonts-lobster)

say() { printf '%s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing: ${missing[*]}"
    as_root apt-get update -q
    # nginx must not start a system instance on port 80: the scripts run their own.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures and builds both sides and assembles the game folder build/game/.
build_all() {
    local jobs
    jobs=$(nproc)
    cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" ${BOLVO_WIN_CMAKE_ARGS:-} >/dev/null
    cmake --build "$BUILD/win" -j "$jobs"
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD/native" -j "$jobs"
    assemble_game
}

# The folder a player would copy to a Windows machine. It never holds the files the launcher
# writes (qmkx.dat, bootlog_pd.txt).
assemble_game() {
    local game="$BUILD/game"
    rm -rf "$game"
    mkdir -p "$game/doc"
    cp "$BUILD/win/bin/launcher.exe" "$game/"
    for dll in "$BUILD"/win/bin/chaptr[1-5].dll; do
        [ -f "$dll" ] && cp "$dll" "$game/"
    done
    [ -f "$ROOT/doc/help.html" ] && cp "$ROOT/doc/help.html" "$game/doc/"
    return 0
}

# Starts Xvfb on a free display number at 1024x768x24 and exports DISPLAY.
start_display() {
    local n=${BOLVO_DISPLAY_BASE:-90}
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${BOLVO_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    say "Xvfb did not start on :$n"
    return 1
}

stop_display() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
    return 0
}

# A booted Wine prefix kept under build/ and reused between runs.
WINE_BASE_PREFIX="$BUILD/wine/base"

ensure_base_prefix() {
    export WINEDEBUG=-all
    if [ ! -f "$WINE_BASE_PREFIX/.bolvo-ready" ]; then
        say "Booting a Wine prefix in $WINE_BASE_PREFIX (once)..."
        rm -rf "$WINE_BASE_PREFIX"
        mkdir -p "$(dirname "$WINE_BASE_PREFIX")"
        # No Mono or Gecko installers: they would wait for a click that never comes.
        WINEPREFIX="$WINE_BASE_PREFIX" WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
        # Without a window manager, destroying a shown window takes seconds unless Wine manages
        # no windows itself.
        WINEPREFIX="$WINE_BASE_PREFIX" wine reg add 'HKCU\Software\Wine\X11 Driver' \
            /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        WINEPREFIX="$WINE_BASE_PREFIX" wineserver -w
        touch "$WINE_BASE_PREFIX/.bolvo-ready"
    fi
}

# Makes a fresh copy of the base prefix at $1 and exports WINEPREFIX.
fresh_prefix() {
    ensure_base_prefix
    rm -rf "$1"
    mkdir -p "$(dirname "$1")"
    cp -a "$WINE_BASE_PREFIX" "$1"
    export WINEPREFIX="$1"
}

# A persistent wineserver for the current prefix: every program then starts in a few tens of
# milliseconds instead of half a second.
start_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program starts Wine's background services, which inherit that program's
    # standard output: start them here, detached, or a caller reading a program's output
    # through a pipe would wait for them to end.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

stop_wineserver() {
    wineserver -k 2>/dev/null || true
}

# A TCP port on loopback that nothing listens on right now.
free_port() {
    "$PYTHON" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Points the current prefix's user at an HTTP proxy, as the Internet settings dialog would.
set_proxy() {
    local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
    wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
    wine reg add "$key" /v ProxyServer /t REG_SZ /d "$1" /f >/dev/null 2>&1
}

# Waits until a window with exactly this title exists on $DISPLAY; polls, up to $2 seconds.
wait_for_window() {
    local deadline=$((SECONDS + ${2:-60}))
    while [ $SECONDS -lt $deadline ]; do
        xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}
