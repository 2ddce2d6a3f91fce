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

# The Windows x86_64 build first: its end-to-end tests spend most of their time waiting for
# real minutes to pass, so they run in the background while the other builds take the
# processor, at a lower priority than the timed tests beside them.
build_preset windows || exit 1
trap stop_wine_and_display EXIT
start_private_display 800x600 || exit 1
prepare_wine
windows_log="$MARIGOLD_ROOT/build/windows-tiers.log"
echo "== tiers 2 and 3 started: Windows build under Wine (output follows when they end)"
ctest --preset windows --label-exclude alone -j4 >"$windows_log" 2>&1 &
windows_pid=$!

build_preset sim nice || status=1
echo "== tier 1: simulated desktop"
nice -n 10 ctest --preset sim -j"$(nproc)" || status=1

build_preset windows-x86 nice || status=1
# The x86 build never runs here (no 32-bit Wine, and the kernel runs no 32-bit programs): its
# tests are static, the imports against Windows XP's exports and a second build in another
# folder that must give the same bytes.
echo "== x86 build: static checks"
nice -n 10 ctest --preset windows-x86 || status=1

wait "$windows_pid" || status=1
echo "== tiers 2 and 3: Windows build under Wine on private displays"
cat "$windows_log"
# Every test's own output, the passing ones' too (figures such as click times are there).
cp build/windows/Testing/Temporary/LastTest.log build/windows-tiers-full.log 2>/dev/null
# Those that measure processor time or memory, with nothing else running.
echo "== tiers 2 and 3, the measuring tests, alone"
ctest --preset windows --label-regex alone || status=1

echo "== took $((SECONDS - began)) s after the installs"
[ $status -eq 0 ] && echo "== all tiers passed" || echo "== FAILURES above"
exit $status
