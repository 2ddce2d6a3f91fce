#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every tier:
# the simulated tests, the static checks of both executables, the Windows tests under Wine,
# and the end-to-end suite on a private X display. Exits non-zero on any failure.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
status=0
build_preset sim || exit 1
echo "== tier 1: simulated desktop"
ctest --preset sim -j"$(nproc)" || status=1

build_preset windows || exit 1
build_preset windows-x86 || exit 1
# The x86 build never runs here (no 32-bit Wine, and the kernel runs no 32-bit programs): its
# tests are static, the imports against Windows XP's exports and a second build in another
# folder that must give the same bytes.
echo "== x86 build: static checks"
ctest --preset windows-x86 || status=1

trap stop_wine_and_display EXIT
start_private_display 800x600 || exit 1
prepare_wine
echo "== tiers 2 and 3: Windows build under Wine on $DISPLAY"
ctest --preset windows || status=1

[ $status -eq 0 ] && echo "== all tiers passed" || echo "== FAILURES above"
exit $status
