# Shared by the run and test commands: installs what is missing, builds, and prepares a
# private Wine prefix and X display. Source it; it defines functions only.

MARIGOLD_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MARIGOLD_PACKAGES="cmake make g++ g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 \
wine wine64 xvfb xauth xdotool imagemagick googletest libgtest-dev ninja-build python3 \
python3-pefile x11-utils locales"
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

# The 32-bit half of the test command's needs: qemu's user-mode emulator where the kernel runs
# no 32-bit programs (or only an old emulator is registered), and 32-bit Wine. Sets wants32.
needs_32bit() {
  wants32=()
  if ! runs_32bit_programs || { [ -e "$MARIGOLD_BINFMT/qemu-i386" ] && old_qemu; }; then
    wants32+=(qemu)
  fi
  { [ -x /usr/lib/wine/wine ] && [ -d /usr/lib/i386-linux-gnu/wine ]; } || wants32+=(wine32)
}

# apt-get as the installs here run it: quiet, and waiting for another apt (an upgrade the
# machine runs by itself, or a second run of the test command) rather than failing.
marigold_apt() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 -y -qq "$@"
}

# Runs its arguments holding the install lock (root only): two runs started together take
# turns, the second finding the first's work done.
with_install_lock() {
  if [ "$(id -u)" -ne 0 ]; then
    "$@"
    return
  fi
  (
    exec 9>/tmp/marigold-install.lock && flock 9
    "$@"
  )
}

# Installs the Debian packages the builds and tests need, when any is missing. With the word
# "x86" it readies the machine for 32-bit Wine too, which ensure_wine32 then installs while the
# first builds run: it adds the i386 architecture and upgrades now the 64-bit libraries that
# 32-bit Wine's install would upgrade to match their new i386 halves. Installing it later then
# only adds files: a library upgraded under a starting 64-bit Wine process can leave it with
# half an old set and half a new one, and it dies.
ensure_packages() {
  with_install_lock install_missing "${1:-}" && choose_programs
}

install_missing() {
  local missing=() cmd
  for cmd in cmake ninja g++ x86_64-w64-mingw32-g++-win32 i686-w64-mingw32-g++-win32 wine \
             wineserver Xvfb xdotool import python3 xdpyinfo; do
    command -v "$cmd" >/dev/null 2>&1 || missing+=("$cmd")
  done
  "$MARIGOLD_PYTHON" -c "import pefile" >/dev/null 2>&1 || missing+=("python3-pefile")
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=("googletest sources")
  # The text-path tests build a Japanese locale from these sources.
  [ -f /usr/share/i18n/locales/ja_JP ] || missing+=("locale sources")
  wants32=()
  [ "$1" = x86 ] && needs_32bit
  [ ${#missing[@]} -eq 0 ] && [[ " ${wants32[*]} " != *" wine32 "* ]] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "== missing: ${missing[*]} ${wants32[*]}"
    echo "Run as root, or install them first:"
    echo "  sudo apt-get update && sudo apt-get install -y $MARIGOLD_PACKAGES"
    [ "$1" = x86 ] && print_32bit_steps
    return 1
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing with apt-get (a few minutes the first time): ${missing[*]}"
  fi
  local later=()
  if [[ " ${wants32[*]} " == *" qemu "* ]] && old_qemu; then
    later+=("$(qemu_package)")
    if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ] &&
       ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
      echo "deb http://deb.debian.org/debian bookworm-backports main" \
        >/etc/apt/sources.list.d/bookworm-backports.list
    fi
  fi
  if [[ " ${wants32[*]} " == *" wine32 "* ]]; then
    dpkg --add-architecture i386 || return 1
    later+=(wine32:i386)
  fi
  marigold_apt update || return 1
  if [ ${#missing[@]} -gt 0 ]; then
    # shellcheck disable=SC2086
    marigold_apt install $MARIGOLD_PACKAGES >/dev/null || return 1
  fi
  if [ ${#later[@]} -gt 0 ]; then
    # A simulated install names each package it would upgrade with its old version in
    # brackets; the 64-bit ones have no architecture after their name.
    local lockstep
    lockstep=$(marigold_apt install -s --no-install-recommends "${later[@]}" |
               sed -n 's/^Inst \([^ :]*\)\(:amd64\)\{0,1\} \[.*/\1/p')
    if [ -n "$lockstep" ]; then
      echo "== upgrading the 64-bit libraries 32-bit Wine comes with newer halves of"
      # shellcheck disable=SC2086
      marigold_apt install --only-upgrade $lockstep >/dev/null || return 1
    fi
  fi
}

# qemu's user-mode emulator as apt-get names it: on Debian 12 the one from bookworm-backports
# (qemu 10), whose 32-bit Wine starts in seconds where Debian 12's own takes minutes.
qemu_package() {
  if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
    echo "qemu-user-static/bookworm-backports"
  else
    echo qemu-user-static
  fi
}

print_32bit_steps() {
  local backports=()
  [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ] &&
    backports=(-t bookworm-backports)
  if [[ " ${wants32[*]} " == *" qemu "* ]]; then
    echo "  # this kernel runs no 32-bit programs: qemu's user-mode emulator runs them"
    [ ${#backports[@]} -gt 0 ] && echo "  echo 'deb http://deb.debian.org/debian" \
      "bookworm-backports main' | sudo tee /etc/apt/sources.list.d/bookworm-backports.list"
    echo "  sudo apt-get update && sudo apt-get install -y ${backports[*]} qemu-user-static"
    echo "  sudo mount -t binfmt_misc binfmt_misc $MARIGOLD_BINFMT  # unless mounted"
    echo "  echo '$MARIGOLD_I386_BINFMT' | sudo tee $MARIGOLD_BINFMT/register"
  fi
  if [[ " ${wants32[*]} " == *" wine32 "* ]]; then
    echo "  sudo dpkg --add-architecture i386 && sudo apt-get update"
    echo "  sudo apt-get install -y --no-install-recommends wine32:i386"
  fi
}

# 32-bit Wine, for the x86 build's tests, once ensure_packages x86 has readied the machine.
# Where the kernel runs no 32-bit programs, qemu's user-mode emulator runs them, registered
# with binfmt_misc (flag F: the emulator is opened now, so it also serves programs started in
# other mount namespaces).
ensure_wine32() {
  needs_32bit
  [ ${#wants32[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "== 32-bit Wine cannot run here yet. Run as root, or set it up first:"
    print_32bit_steps
    return 1
  fi
  with_install_lock install_wine32
}

install_wine32() {
  needs_32bit  # again: another run may have installed it while this one waited
  if [[ " ${wants32[*]} " == *" qemu "* ]]; then
    echo "== 32-bit programs will run through qemu's user-mode emulator: installing and registering it"
    if old_qemu; then
      marigold_apt install --no-install-recommends "$(qemu_package)" >/dev/null || return 1
    fi
    [ -e "$MARIGOLD_BINFMT/register" ] ||
      mount -t binfmt_misc binfmt_misc "$MARIGOLD_BINFMT" || return 1
    # An entry holds the emulator it was registered with open: a newer one needs a new entry.
    if [ -e "$MARIGOLD_BINFMT/qemu-i386" ]; then echo -1 >"$MARIGOLD_BINFMT/qemu-i386"; fi
    echo "$MARIGOLD_I386_BINFMT" >"$MARIGOLD_BINFMT/register" || return 1
    runs_32bit_programs || { echo "== qemu-i386 is registered, yet a 32-bit program does not run"; return 1; }
  fi
  if [[ " ${wants32[*]} " == *" wine32 "* ]]; then
    echo "== installing 32-bit Wine (wine32:i386)"
    marigold_apt install --no-install-recommends wine32:i386 >/dev/null || return 1
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
  # The presets build with Ninja; a folder configured for another generator is made again.
  local cache="$MARIGOLD_ROOT/build/$preset/CMakeCache.txt"
  if [ -f "$cache" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
    rm -rf "${cache%/*}"
  fi
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
# The server takes the first free display number itself (-displayfd), so runs started
# together never share a screen, a pointer or a keyboard.
start_private_display() {
  local size=${1:-800x600} answer number
  mkdir -p "$MARIGOLD_ROOT/build"
  answer=$(mktemp "$MARIGOLD_ROOT/build/display.XXXXXX") || return 1
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  MARIGOLD_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    number=$(head -n 1 "$answer")
    [ -n "$number" ] && break
    kill -0 "$MARIGOLD_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$answer"
  if [ -z "$number" ]; then
    echo "== Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$number"
}

# Makes the Wine prefix DIR once. Where 32-bit Wine is installed, the prefix has its 32-bit
# half too, and both builds' programs run in copies of it; one made before that is made again.
make_wine_prefix() {
  local prefix ready
  prefix=$(realpath -m "$1") ready="$(realpath -m "$1")/.marigold-ready"
  [ -x /usr/lib/wine/wine ] && [ ! -f "$prefix/drive_c/windows/syswow64/rundll32.exe" ] &&
    rm -f "$ready"
  [ -f "$ready" ] && return 0
  echo "== preparing the Wine prefix $prefix (once)"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  (
    # No .NET or HTML engine to offer, and no menu entries written for the user's desktop.
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    "$MARIGOLD_WINE64" wineboot -i >/dev/null 2>&1
    # Without a window manager, managed windows stall about 2 s on every show and hide.
    "$MARIGOLD_WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Services no program here uses (the event log, network drivers and status, device
    # notifications): each would start again on every test's desktop, a sixth of its set-up.
    for service in Eventlog NDIS nsiproxy PlugPlay; do
      "$MARIGOLD_WINE64" reg add 'HKLM\System\CurrentControlSet\Services\'"$service" \
        /v Start /t REG_DWORD /d 4 /f >/dev/null 2>&1
    done
    wineserver -w
  )
  touch "$ready"
}

# The project's own Wine prefix under build/, in the environment of what follows.
use_wine_prefix() {
  export WINEPREFIX="$MARIGOLD_ROOT/build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=${MARIGOLD_LANG:-C.UTF-8}
}

# The project's own Wine prefix, made once; keeps a wineserver alive.
prepare_wine() {
  use_wine_prefix
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
