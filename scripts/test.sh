#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every tier:
# the simulated tests, the static checks of both executables, the Windows tests under Wine
# (the x86 build's under 32-bit Wine), and the end-to-end suite, each Windows test on a
# desktop of its own. Each tier starts as soon as its own programs are built. Exits non-zero
# on any failure.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

# Everything but 32-bit Wine, which is installed beside the first builds (see ensure_packages).
ensure_packages x86 || exit 1
status=0
began=$SECONDS
logs="$MARIGOLD_ROOT/build/logs"
rm -rf "$logs"
mkdir -p "$logs"
# A step's heading, with the seconds since the installs.
step() { echo "== $* [$((SECONDS - began)) s]"; }
# Runs a tier's ctest in the background, its output kept for the end; its pid in $!.
tier() {
  local name=$1
  shift
  step "$name started (output follows when it ends)"
  ctest --output-on-failure "$@" >"$logs/$name.log" 2>&1 </dev/null &
}
tiers=()
finish() {
  local name=$1 pid=$2
  wait "$pid" || status=1
  step "$name"
  cat "$logs/$name.log"
}
trap 'stop_wine_and_display; kill $(jobs -p) 2>/dev/null' EXIT

# The Wine prefix that the x86_64 tiers' tests copy, made while the first programs build. No
# server is kept alive for it: one would write its registry while the tests copy it.
use_wine_prefix
# Where 32-bit Wine is in already, that prefix is made with its 32-bit half and the x86 tier
# copies it too. Otherwise 32-bit Wine is installed beside the first builds, and the x86 tier
# gets a prefix of its own once it is in.
x86_prefix=$WINEPREFIX
wine32_pid=
needs_32bit
if [ ${#wants32[@]} -gt 0 ]; then
  x86_prefix="$MARIGOLD_ROOT/build/wineprefix-x86"
  { ensure_wine32 && make_wine_prefix "$x86_prefix"; } >"$logs/wine32.log" 2>&1 </dev/null &
  wine32_pid=$!
fi
make_wine_prefix "$WINEPREFIX" >"$logs/prefix.log" 2>&1 </dev/null &
prefix_pid=$!

# The programs of the end-to-end tests first: those tests spend most of their time waiting
# for real minutes to pass, so they run beside everything else, ahead of it on the machine.
build_preset windows marigold chatroom winprobe || exit 1
wait "$prefix_pid" || { cat "$logs/prefix.log"; exit 1; }
e2e_dir="$MARIGOLD_ROOT/build/windows/tests/e2e"
# From its own folder, so that its record (Testing/) is not the one of the other ctest runs.
tier e2e --test-dir "$e2e_dir" -j6 --timeout 900
tiers+=("e2e $!")

# The x86 build's programs, then its runs under 32-bit Wine beside the x86_64 ones (they pair
# with them) and its static checks: imports against Windows XP's exports, and a second build
# in another folder that must give the same bytes.
x86_dir="$MARIGOLD_ROOT/build/windows-x86"
if build_preset windows-x86 nice marigold chatroom win_tests; then
  if [ -z "$wine32_pid" ] || wait "$wine32_pid"; then
    WINEPREFIX=$x86_prefix tier x86 --test-dir "$x86_dir" -j4 --timeout 900
    tiers+=("x86 $!")
  else
    cat "$logs/wine32.log"
    status=1
  fi
else
  status=1
fi

build_preset windows nice || status=1
tier windows --preset windows --label-exclude e2e -j2
tiers+=("windows $!")

build_preset sim nice || status=1
step "tier 1: simulated desktop"
nice -n 10 ctest --preset sim || status=1

for entry in "${tiers[@]}"; do
  # shellcheck disable=SC2086
  finish $entry
done

echo "== took $((SECONDS - began)) s after the installs"
[ $status -eq 0 ] && echo "== all tiers passed" || echo "== FAILURES above"
exit $status
