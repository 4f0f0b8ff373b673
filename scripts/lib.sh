# Shared by scripts/test, scripts/run and friends: packages, builds, the Wine
# prefix and the virtual display. Source it; it changes to the repository root.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
BUILD=${SOFTVEIL_BUILD:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(cmake g++ make googletest libgtest-dev g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine wine64 xvfb openbox x11-apps imagemagick fonts-wqy-microhei python3
          xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  echo "== installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_native() {  # build_native DIR [cmake args...]
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

build_windows() {  # build_windows [build type]
  cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-posix.cmake" \
        -DCMAKE_BUILD_TYPE="${1:-Release}" >/dev/null
  cmake --build "$BUILD/win" -j "$JOBS"
}

# softveil's version as dotted numbers (1.6.0.0), from res/version.h, where
# the version block takes it from too.
softveil_version() {
  sed -n 's/^#define SOFTVEIL_VERSION \([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' \
    "$ROOT/res/version.h"
}

# The installer from installer/softveil.wxs around DIST/softveil.exe, with
# the version given (scripts/package gives softveil's own; the package test
# also builds a newer one to upgrade to).
build_msi() {  # build_msi DIST VERSION OUT
  local dist
  dist=$(realpath --relative-to="$ROOT" "$1")  # wixl takes source paths relative to here
  wixl -a x64 -D Version="$2" -D Dist="$dist" -D Res=res -o "$3" installer/softveil.wxs
}

# Checks build/dist as a user would meet it: the zip holds exactly its three
# files, the checksums hold, the debug file reads a crash address as a source
# line, and package_tests (in $BUILD/win) installs, starts, upgrades and
# uninstalls under Wine in a fresh prefix of its own. Needs a display.
test_packages() {
  local dist=$BUILD/dist version name scratch status=0
  version=$(softveil_version)
  name=softveil-$version-win64
  scratch=$BUILD/package-test
  rm -rf "$scratch"
  mkdir -p "$scratch/portable"

  local listed
  listed=$(unzip -Z1 "$dist/$name.zip" | sort | tr '\n' ' ')
  if [ "$listed" != "LICENSE.txt README.txt softveil.exe " ]; then
    echo "FAILED: the zip holds: $listed"; status=1
  fi
  (cd "$dist" && sha256sum --quiet -c "softveil-$version-sha256.txt") || { echo "FAILED: checksums"; status=1; }
  local at line
  at=$(x86_64-w64-mingw32-nm "$dist/softveil.exe.debug" | awk '$3 == "wWinMain" { print $1 }')
  line=$(x86_64-w64-mingw32-addr2line -e "$dist/softveil.exe.debug" "0x$at")
  case "$line" in
    *app/main_win32.cpp:*) echo "debug file: wWinMain at 0x$at is $line" ;;
    *) echo "FAILED: the debug file reads 0x$at as '$line'"; status=1 ;;
  esac
  local size
  size=$(stat -c %s "$dist/softveil.exe")
  echo "softveil.exe: $size bytes"
  [ "$size" -le 1048576 ] || { echo "FAILED: softveil.exe is over 1 MB"; status=1; }

  unzip -q "$dist/$name.zip" -d "$scratch/portable"
  local upgrade
  upgrade=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3 + 1, $4 }')
  build_msi "$dist" "$upgrade" "$scratch/softveil-$upgrade-win64.msi"

  # A prefix of the test's own, made afresh: installs leave traces in it.
  (
    export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # The packages' tests read softveil's Chinese captions.
    export LC_ALL=zh_CN.UTF-8
    SOFTVEIL_DIST=$dist SOFTVEIL_VERSION=$version SOFTVEIL_PORTABLE=$scratch/portable \
      SOFTVEIL_UPGRADE_MSI=$scratch/softveil-$upgrade-win64.msi \
      wine "$BUILD/win/package_tests.exe" --gtest_brief=1
    result=$?
    wineserver -k 2>/dev/null || true
    exit $result
  ) || status=1
  return $status
}

build_fuzz() {  # build_fuzz DIR: the libFuzzer targets, with clang
  cmake -S "$ROOT" -B "$1" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSOFTVEIL_FUZZ=ON >/dev/null
  cmake --build "$1" -j "$JOBS"
}

# Runs one fuzz target for SECONDS on a fresh copy of its seed corpus, on
# every core (libFuzzer's fork mode: one fuzzing process per core, their
# finds merged into the one corpus), and prints how many inputs it ran. A
# finding makes libFuzzer exit non-zero; the input that caused it is left in
# DIR/artifacts.
run_fuzz() {  # run_fuzz DIR TARGET SECONDS
  local dir=$1 target=$2 seconds=$3
  local corpus=$dir/corpus/$target log=$dir/$target.log status=0 tmp runs
  rm -rf "$corpus"
  mkdir -p "$corpus" "$dir/artifacts"
  cp "$ROOT/tests/fuzz/corpus/$target/"* "$corpus/"
  # The file targets replace a file by renaming a new one over it, which a
  # disk file system flushes at each rename: a memory one runs them ten
  # times as fast.
  tmp=$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "$dir" )/softveil-fuzz.XXXXXX")
  TMPDIR=$tmp "$dir/tests/fuzz/$target" -fork="$JOBS" -max_total_time="$seconds" -timeout=10 \
    -artifact_prefix="$dir/artifacts/$target-" "$corpus" >"$log" 2>&1 || status=$?
  rm -rf "$tmp"
  # Fork mode's progress lines count the inputs of every process: "#N: cov: ...".
  runs=$(grep -oE '^#[0-9]+: cov' "$log" | tail -n 1 | tr -dc '0-9' || true)
  echo "$target: ${runs:-no count of} inputs in $seconds s on $JOBS cores"
  if [ $status -ne 0 ]; then
    local first
    first=$(grep -n -m1 -E 'ERROR|check failed|runtime error|ALARM|out-of-memory' "$log" | cut -d: -f1 || true)
    echo "$target FAILED (exit $status); from $log:"
    tail -n +"${first:-1}" "$log" | head -n 80 || true
  fi
  return $status
}

# Wine takes softveil's language from LC_ALL (the suite runs under
# zh_CN.UTF-8 and en_US.UTF-8), and from the same locale the encoding of
# file names: under a locale glibc lacks, Wine falls back to ASCII and every
# Chinese file name fails. So both locales are made when missing (as root).
ensure_locales() {
  local missing=()
  for l in zh_CN en_US; do locale -a 2>/dev/null | grep -qx "$l.utf8" || missing+=("$l"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing locales: ${missing[*]} (run as root to make them)" >&2
    return 1
  fi
  for l in "${missing[@]}"; do
    echo "== making the locale $l.UTF-8"
    localedef -i "$l" -c -f UTF-8 "$l.UTF-8"
  done
}

# A Wine prefix of the build's own, made once and reused.
setup_wine() {
  ensure_locales
  # Wine's own errors stay on: a test program that Wine could not start ends
  # at once without a word otherwise, and ctest shows a failure's output.
  export WINEPREFIX=$BUILD/wineprefix WINEARCH=win64 WINEDEBUG=-all,err+all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # The dialogs ask for 宋体; map it, and the shell font, onto a Chinese font we install.
    local reg=$BUILD/fonts.reg
    # regedit reads version 5 files as UTF-16, which keeps the Chinese name intact.
    { printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' | iconv -f UTF-8 -t UTF-16LE
      for f in "宋体" "SimSun" "NSimSun" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "System"; do
        printf '"%s"="WenQuanYi Micro Hei"\r\n' "$f" | iconv -f UTF-8 -t UTF-16LE
      done; } > "$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# A copy of the build's prefix whose system DPI is DPI, made once: Wine
# scales nothing for it, so the programs see physical pixels at that DPI, as
# per-monitor-aware programs do on a scaled Windows desktop.
setup_wine_dpi() {  # setup_wine_dpi DPI
  setup_wine
  local main=$WINEPREFIX
  export WINEPREFIX=$BUILD/wineprefix-dpi$1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    cp -a "$main" "$WINEPREFIX"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
  fi
}

XVFB_PID=""
# Starts Xvfb on a free display unless one is given; stops it on exit.
start_display() {  # start_display [WxH]
  local size=${1:-1920x1080}
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

WM_PID=""
# Starts openbox on $DISPLAY, as a real desktop has a window manager: without
# one, Wine waits about 2 s for an answer each time it hides or shows a
# window that has been active. Returns once openbox runs its start-up command,
# which it does when it manages the screen.
start_window_manager() {
  local ready=$BUILD/openbox-ready.$$
  rm -f "$ready"
  openbox --sm-disable --config-file "$ROOT/scripts/openbox-rc.xml" --startup "touch $ready" >/dev/null 2>&1 &
  WM_PID=$!
  for _ in $(seq 100); do
    if [ -e "$ready" ]; then rm -f "$ready"; return 0; fi
    kill -0 "$WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start on $DISPLAY" >&2
  return 1
}

COMPOSITOR_PID=""
# Starts the compositing manager xcompmgr on $DISPLAY (scripts/run installs
# it). Wine hands a layered window's alpha to the X window as its opacity,
# which only a compositor draws: with it the mask is seen, and captured,
# semi-transparent over the text, as on a desktop.
start_compositor() {
  xcompmgr >/dev/null 2>&1 &
  COMPOSITOR_PID=$!
  sleep 0.5
  kill -0 "$COMPOSITOR_PID" 2>/dev/null || { echo "xcompmgr did not start on $DISPLAY" >&2; COMPOSITOR_PID=""; return 1; }
}

# One Wine session for a whole run of test programs under ctest: the Wine
# server, a program that keeps it running, and the desktop process. Without
# it each test program starts a session of its own, whose desktop process
# holds the program's error output open until the server ends a few seconds
# later, and ctest waits for that after every case.
start_wine_session() {
  local fifo=$BUILD/wine-session.fifo
  rm -f "$fifo"
  mkfifo "$fifo"
  # cmd waits for commands on its input until the script's end closes it.
  wine cmd <"$fifo" >/dev/null 2>&1 &
  exec {WINE_SESSION_INPUT}>"$fifo"
  rm -f "$fifo"
  wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  # Up before the first test program: a program that finds no desktop or
  # services yet starts them itself and hands them its own output, which they
  # hold open for the rest of the session, and ctest waits for that output
  # until its time-out. Asking for the desktop window, with our output
  # discarded, returns once the desktop is up; the services follow.
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 100); do
    pgrep -f 'explorer.exe /desktop' >/dev/null && pgrep -f 'services.exe' >/dev/null && return 0
    sleep 0.1
  done
}

# Stops the Wine programs of our prefix (start_wine_session's among them) and
# what start_display, start_monitors, start_window_manager and
# start_compositor started.
stop_display() {
  # Waited for, so that a session started next (on another display) does not
  # meet the server of this one still going down.
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; fi
  if [ -n "$WM_PID" ]; then
    kill "$WM_PID" 2>/dev/null || true
    # A window manager that is far behind on its events may not see the first signal.
    for _ in $(seq 20); do kill -0 "$WM_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
  fi
  if [ -n "$COMPOSITOR_PID" ]; then
    kill "$COMPOSITOR_PID" 2>/dev/null || true
    wait "$COMPOSITOR_PID" 2>/dev/null || true
  fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  if [ -n "$XORG_PID" ]; then kill "$XORG_PID" 2>/dev/null || true; wait "$XORG_PID" 2>/dev/null || true; fi
  WM_PID="" COMPOSITOR_PID="" XVFB_PID="" XORG_PID=""
}

# Two monitors side by side need a real X server: Xvfb puts every screen at
# the origin. Xorg with the dummy video driver offers outputs DUMMY0..15 that
# Wine lists as monitors; DUMMY0 is the primary, at Windows' (0, 0), so a
# monitor left of or above it has negative coordinates. No console is opened,
# but Xorg needs root. A window manager (openbox) runs on it, as for a user.
XORG_PID=""
start_monitors() {  # start_monitors right|left|below|above: sets DISPLAY
  local n=71 conf=$BUILD/xorg-dummy.conf
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  mkdir -p "$BUILD"
  cat > "$conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
    Option "BlankTime" "0"
    Option "StandbyTime" "0"
    Option "SuspendTime" "0"
    Option "OffTime" "0"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 131072
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 4096
    EndSubSection
EndSection
CONF
  Xorg ":$n" -config "$conf" -logfile "$BUILD/xorg.$n.log" -noreset -nolisten tcp -novtswitch -sharevts \
       -keeptty +extension RANDR </dev/null >/dev/null 2>&1 &
  XORG_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xrandr >/dev/null 2>&1 && break; sleep 0.2; done
  if ! xrandr >/dev/null 2>&1; then echo "Xorg did not start on :$n (see $BUILD/xorg.$n.log)" >&2; return 1; fi
  monitor_layout "$1" || return 1
  start_window_manager
}

# A mode of size WxH on OUTPUT, made from its standard timings once.
add_mode() {  # add_mode OUTPUT WxH: prints the mode's name
  local output=$1 size=$2 name="softveil$2"
  if ! xrandr | grep -q "^ *$name "; then
    # shellcheck disable=SC2046
    xrandr --newmode "$name" $(gtf "${size%x*}" "${size#*x}" 60 | sed -n 's/^ *Modeline "[^"]*" *//p')
  fi
  xrandr --addmode "$output" "$name" 2>/dev/null || true
  echo "$name"
}

# Places the second monitor (1024 x 768) beside the primary (1280 x 1024), or
# switches it off ("off"), on the running server.
monitor_layout() {  # monitor_layout right|left|below|above|off
  local primary second where
  case $1 in
    right | left) where=--$1-of ;;
    below | above | off) where=--$1 ;;
    *) echo "monitor_layout: right, left, below, above or off" >&2; return 1 ;;
  esac
  primary=$(add_mode DUMMY0 1280x1024) || return 1
  if [ "$1" = off ]; then
    xrandr --output DUMMY1 --off --output DUMMY0 --mode "$primary" --pos 0x0 --primary || return 1
  else
    second=$(add_mode DUMMY1 1024x768) || return 1
    xrandr --output DUMMY0 --mode "$primary" --pos 0x0 --primary \
           --output DUMMY1 --mode "$second" "$where" DUMMY0 || return 1
  fi
  # Wine reads the server's current configuration without asking it to look
  # again; until some client asks for a fresh look, Wine sees the old one.
  xrandr --listmonitors >/dev/null
}
