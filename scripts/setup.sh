# Shared by the run and test commands: installs what is missing, builds, and prepares a
# private Wine prefix and X display. Source it; it defines functions only.

MARIGOLD_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MARIGOLD_PACKAGES="cmake make g++ g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 \
wine wine64 xvfb xauth xdotool imagemagick googletest python3 python3-pefile x11-utils locales"
# The programs the scripts start by path, chosen again once the packages are installed: on a
# fresh machine they come with them.
choose_programs() {
  # Debian's python3, the one python3-pefile installs for, even where another python3 comes
  # first on PATH.
  MARIGOLD_PYTHON=python3
  [ -x /usr/bin/python3 ] && MARIGOLD_PYTHON=/usr/bin/python3
  # 64-bit programs go through the 64-bit loader itself: once 32-bit Wine is installed, the
  # `wine` script starts everything through the 32-bit one, a minute per start under emulation.
  MARIGOLD_WINE64=wine
  [ -x /usr/lib/wine/wine64 ] && MARIGOLD_WINE64=/usr/lib/wine/wine64
  export MARIGOLD_WINE64
}
choose_programs

# Installs the Debian packages the builds and tests need, when any is missing.
ensure_packages() {
  local missing=()
  local cmd
  for cmd in cmake g++ x86_64-w64-mingw32-g++-win32 i686-w64-mingw32-g++-win32 wine \
             wineserver Xvfb xdotool import python3 xdpyinfo; do
    command -v "$cmd" >/dev/null 2>&1 || missing+=("$cmd")
  done
  "$MARIGOLD_PYTHON" -c "import pefile" >/dev/null 2>&1 || missing+=("python3-pefile")
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=("googletest sources")
  # The text-path tests build a Japanese locale from these sources.
  [ -f /usr/share/i18n/locales/ja_JP ] || missing+=("locale sources")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== missing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root, or install them first:"
    echo "  sudo apt-get update && sudo apt-get install -y $MARIGOLD_PACKAGES"
    return 1
  fi
  echo "== installing with apt-get (a few minutes the first time)"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || return 1
  # shellcheck disable=SC2086
  apt-get install -y -qq $MARIGOLD_PACKAGES >/dev/null || return 1
  choose_programs
}

# True when this machine starts 32-bit x86 programs: a 93-byte i386 ELF that only exits is
# run, by the kernel itself or through a registered emulator.
runs_32bit_programs() {
  local probe
  # Under build/, not /tmp, which may be mounted noexec.
  mkdir -p "$MARIGOLD_ROOT/build" && probe=$(mktemp "$MARIGOLD_ROOT/build/probe32.XXXXXX") || return 1
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08' >"$probe"
  printf '\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' >>"$probe"
  printf '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0' >>"$probe"
  printf '\xb8\x01\0\0\0\x31\xdb\xcd\x80' >>"$probe"  # exit(0)
  chmod +x "$probe"
  "$probe" 2>/dev/null
  local status=$?
  rm -f "$probe"
  return $status
}

# qemu's i386 entry for binfmt_misc: 32-bit little-endian ELF executables and shared objects.
MARIGOLD_BINFMT=/proc/sys/fs/binfmt_misc
MARIGOLD_I386_BINFMT=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

# True when qemu's i386 emulator is older than 8. Debian 12's own (7.2) walks every page of the
# address space Wine reserves: a 32-bit Wine process takes two minutes to start through it,
# and two seconds through the one in bookworm-backports (10.0).
old_qemu() {
  local major
  major=$(qemu-i386-static --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
  [ "${major:-0}" -lt 8 ]
}

# 32-bit Wine, for the x86 build's tests. Where the kernel runs no 32-bit programs, qemu's
# user-mode emulator runs them, registered with binfmt_misc (flag F: the emulator is opened
# now, so it also serves programs started in other mount namespaces).
ensure_wine32() {
  local steps=() backports=()
  if ! runs_32bit_programs || { [ -e "$MARIGOLD_BINFMT/qemu-i386" ] && old_qemu; }; then
    steps+=(qemu)
  fi
  { [ -x /usr/lib/wine/wine ] && [ -d /usr/lib/i386-linux-gnu/wine ]; } || steps+=(wine32)
  [ ${#steps[@]} -eq 0 ] && return 0
  [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ] &&
    backports=(-t bookworm-backports)
  if [ "$(id -u)" -ne 0 ]; then
    echo "== 32-bit Wine cannot run here yet. Run as root, or set it up first:"
    if [[ " ${steps[*]} " == *" qemu "* ]]; then
      [ ${#backports[@]} -gt 0 ] && echo "  echo 'deb http://deb.debian.org/debian" \
        "bookworm-backports main' | sudo tee /etc/apt/sources.list.d/bookworm-backports.list"
      echo "  sudo apt-get update && sudo apt-get install -y ${backports[*]} qemu-user-static"
      echo "  sudo mount -t binfmt_misc binfmt_misc $MARIGOLD_BINFMT  # unless mounted"
      echo "  echo '$MARIGOLD_I386_BINFMT' | sudo tee $MARIGOLD_BINFMT/register"
    fi
    if [[ " ${steps[*]} " == *" wine32 "* ]]; then
      echo "  sudo dpkg --add-architecture i386 && sudo apt-get update"
      echo "  sudo apt-get install -y --no-install-recommends wine32:i386"
    fi
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${steps[*]} " == *" qemu "* ]]; then
    echo "== 32-bit programs will run through qemu's user-mode emulator: installing and registering it"
    if old_qemu; then
      if [ ${#backports[@]} -gt 0 ] && ! grep -rqs "bookworm-backports" /etc/apt/sources.list \
          /etc/apt/sources.list.d/; then
        echo "deb http://deb.debian.org/debian bookworm-backports main" \
          >/etc/apt/sources.list.d/bookworm-backports.list
      fi
      { apt-get update -qq && apt-get install -y -qq "${backports[@]}" qemu-user-static \
          >/dev/null; } || return 1
    fi
    [ -e "$MARIGOLD_BINFMT/register" ] ||
      mount -t binfmt_misc binfmt_misc "$MARIGOLD_BINFMT" || return 1
    # An entry holds the emulator it was registered with open: a newer one needs a new entry.
    if [ -e "$MARIGOLD_BINFMT/qemu-i386" ]; then echo -1 >"$MARIGOLD_BINFMT/qemu-i386"; fi
    echo "$MARIGOLD_I386_BINFMT" >"$MARIGOLD_BINFMT/register" || return 1
    runs_32bit_programs || { echo "== qemu-i386 is registered, yet a 32-bit program does not run"; return 1; }
  fi
  if [[ " ${steps[*]} " == *" wine32 "* ]]; then
    echo "== installing 32-bit Wine (wine32:i386)"
    dpkg --add-architecture i386 && apt-get update -qq &&
      apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null || return 1
  fi
}

# Configures and builds one preset quietly, showing the output only when it fails. Further
# words: "nice", to build at a lower priority than the tests running beside it, and target
# names, to build only those.
build_preset() {
  local preset=$1 log="$MARIGOLD_ROOT/build/$1.log" nice=() targets=() word
  shift
  for word in "$@"; do
    if [ "$word" = nice ]; then nice=(nice -n 10); else targets+=("$word"); fi
  done
  if [ ${#targets[@]} -gt 0 ]; then
    targets=(--target "${targets[@]}")
    log="$MARIGOLD_ROOT/build/$preset-targets.log"
  fi
  mkdir -p "$MARIGOLD_ROOT/build"
  echo "== build $preset ${targets[*]:1}"
  if ! { "${nice[@]}" cmake --preset "$preset" -S "$MARIGOLD_ROOT" &&
         "${nice[@]}" cmake --build --preset "$preset" -j"$(nproc)" "${targets[@]}"; } \
         >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== build $preset FAILED (full log: $log)"
    return 1
  fi
}

# Starts a private X server of the given size and exports DISPLAY; sets MARIGOLD_XVFB_PID.
start_private_display() {
  local size=${1:-800x600} n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  MARIGOLD_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "== Xvfb did not start on $DISPLAY"
  return 1
}

# Makes the Wine prefix DIR once. Wine puts its 32-bit half in it when wine32 is installed
# (through the emulator, that alone takes minutes); with a second word, "x86", a prefix
# without that half is made again.
make_wine_prefix() {
  local prefix ready
  prefix=$(realpath -m "$1") ready="$(realpath -m "$1")/.marigold-ready"
  [ "${2:-}" = x86 ] && [ ! -f "$prefix/drive_c/windows/syswow64/rundll32.exe" ] && rm -f "$ready"
  [ -f "$ready" ] && return 0
  echo "== preparing the Wine prefix $prefix (once)"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  (
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$MARIGOLD_WINE64" wineboot -i >/dev/null 2>&1
    # Without a window manager, managed windows stall about 2 s on every show and hide.
    "$MARIGOLD_WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
  )
  touch "$ready"
}

# The project's own Wine prefix under build/, made once; keeps a wineserver alive.
prepare_wine() {
  export WINEPREFIX="$MARIGOLD_ROOT/build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=${MARIGOLD_LANG:-C.UTF-8}
  make_wine_prefix "$WINEPREFIX"
  # A server already kept alive for this prefix answers with an error: it is the one we want.
  wineserver -p || true
  # Start Wine's background processes (services, explorer) now, with no terminal or pipe to
  # inherit: if a test's program started them, they would hold ctest's output pipe open and
  # the test would never end.
  "$MARIGOLD_WINE64" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wine_and_display() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  [ -n "${MARIGOLD_XVFB_PID:-}" ] && kill "$MARIGOLD_XVFB_PID" >/dev/null 2>&1
  return 0
}
