#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every tier:
# the simulated tests, the static checks of both executables, the Windows tests under Wine,
# and the end-to-end suite, each test on a private X display. Exits non-zero on any failure.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
status=0
began=$SECONDS

# The programs of the end-to-end tests first: those tests spend most of their time waiting
# for real minutes to pass, so they run in the background while the rest is built, at a
# lower priority than the timed tests beside it.
build_preset windows marigold chatroom winprobe || exit 1
trap stop_wine_and_display EXIT
start_private_display 800x600 || exit 1
prepare_wine
e2e_dir="$MARIGOLD_ROOT/build/windows/tests/e2e"
e2e_log="$MARIGOLD_ROOT/build/windows-e2e.log"
echo "== tier 3 started: end-to-end under Wine, side by side (output follows when it ends)"
# From its own folder, so that its record (Testing/) is not the one of the ctest runs below.
ctest --test-dir "$e2e_dir" --label-exclude alone -j4 --output-on-failure --timeout 900 \
  >"$e2e_log" 2>&1 &
e2e_pid=$!

build_preset windows nice || status=1
build_preset sim nice || status=1
echo "== tier 1: simulated desktop"
nice -n 10 ctest --preset sim -j"$(nproc)" || status=1

build_preset windows-x86 nice || status=1
# The x86 build never runs here (no 32-bit Wine, and the kernel runs no 32-bit programs): its
# tests are static, the imports against Windows XP's exports and a second build in another
# folder that must give the same bytes.
echo "== x86 build: static checks"
nice -n 10 ctest --preset windows-x86 || status=1

echo "== tier 2: real windows under Wine on $DISPLAY, and the x86_64 static checks"
ctest --preset windows --label-exclude "e2e|alone" || status=1

wait "$e2e_pid" || status=1
echo "== tier 3: end-to-end under Wine, each test on a desktop of its own"
cat "$e2e_log"

# Those that measure processor time or memory, with nothing else running.
echo "== tiers 2 and 3, the measuring tests, alone"
ctest --preset windows --label-regex alone || status=1

echo "== took $((SECONDS - began)) s after the installs"
[ $status -eq 0 ] && echo "== all tiers passed" || echo "== FAILURES above"
exit $status
