#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every tier:
# the simulated tests, the static checks of both executables, the Windows tests under Wine
# (the x86 build's under 32-bit Wine), and the end-to-end suite, each test on a private X
# display. Exits non-zero on any failure.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
status=0
began=$SECONDS
# A step's heading, with the seconds since the installs.
step() { echo "== $* [$((SECONDS - began)) s]"; }

# The x86 build's tier, beside the others: the build, its runs under 32-bit Wine and its
# static checks (imports against Windows XP's exports, and a second build in another folder
# that must give the same bytes). It yields to the timed tests, and less than the other
# builds, since its runs wait for its build. 32-bit Wine is installed only once the x86_64
# tiers' prefix is made, which then has no 32-bit half to make.
x86_tier() {
  renice -n 5 -p "$BASHPID" >/dev/null
  local failed=0 wine32_pid static_pid static_log="$MARIGOLD_ROOT/build/windows-x86-static.log"
  { ensure_wine32 && make_wine_prefix "$MARIGOLD_ROOT/build/wineprefix-x86" x86 &&
    step "32-bit Wine and its prefix ready"; } &
  wine32_pid=$!
  build_preset windows-x86 || failed=1
  ctest --preset windows-x86 >"$static_log" 2>&1 &
  static_pid=$!
  wait "$wine32_pid" || failed=1
  if [ $failed -eq 0 ]; then
    step "x86 build: its runs under 32-bit Wine, each on a desktop of its own"
    WINEPREFIX="$MARIGOLD_ROOT/build/wineprefix-x86" \
      ctest --test-dir "$MARIGOLD_ROOT/build/windows-x86" --label-regex wine32 -j3 \
      --output-on-failure --timeout 900 || failed=1
  fi
  wait "$static_pid" || failed=1
  step "x86 build: static checks"
  cat "$static_log"
  return $failed
}

trap stop_wine_and_display EXIT
start_private_display 800x600 || exit 1
prepare_wine
mkdir -p "$MARIGOLD_ROOT/build"
x86_log="$MARIGOLD_ROOT/build/windows-x86-tier.log"
echo "== x86 tier started: 32-bit Wine, the x86 build and its runs (output follows when it ends)"
x86_tier >"$x86_log" 2>&1 </dev/null &
x86_pid=$!

# The programs of the end-to-end tests first: those tests spend most of their time waiting
# for real minutes to pass, so they run in the background while the rest is built, at a
# lower priority than the timed tests beside it.
build_preset windows marigold chatroom winprobe || exit 1
e2e_dir="$MARIGOLD_ROOT/build/windows/tests/e2e"
e2e_log="$MARIGOLD_ROOT/build/windows-e2e.log"
step "tier 3 started: end-to-end under Wine, side by side (output follows when it ends)"
# From its own folder, so that its record (Testing/) is not the one of the ctest runs below.
ctest --test-dir "$e2e_dir" --label-exclude alone -j4 --output-on-failure --timeout 900 \
  >"$e2e_log" 2>&1 &
e2e_pid=$!

build_preset windows nice || status=1
build_preset sim nice || status=1
step "tier 1: simulated desktop"
nice -n 10 ctest --preset sim -j"$(nproc)" || status=1

step "tier 2: real windows under Wine on $DISPLAY, and the x86_64 static checks"
ctest --preset windows --label-exclude "e2e|alone" || status=1

wait "$e2e_pid" || status=1
step "tier 3: end-to-end under Wine, each test on a desktop of its own"
cat "$e2e_log"
wait "$x86_pid" || status=1
step "the x86 tier"
cat "$x86_log"

# Those that measure processor time or memory, with nothing else running.
step "tiers 2 and 3, the measuring tests, alone"
ctest --preset windows --label-regex alone || status=1

echo "== took $((SECONDS - began)) s after the installs"
[ $status -eq 0 ] && echo "== all tiers passed" || echo "== FAILURES above"
exit $status
