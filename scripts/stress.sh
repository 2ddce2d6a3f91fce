#!/usr/bin/env bash
# The load check: runs the Windows tests (win_tests, win_tests_x86 and every end-to-end test)
# again and again while other work keeps every core busy (stress-ng's spinners and a disk
# worker, and builds of the simulated preset from nothing), then prints each test's runs and
# failures, with the lines that say why. Not part of the test command: a run of five rounds
# takes about twenty minutes.
#
#   scripts/stress.sh [--rounds N] [--tests REGEX] [--jobs J] [--beside] [--load cpu,build]
#
# --tests picks tests by ctest name (e.g. '^win_tests', '^e2e_'); --beside runs each round's
# tests twice at once, as two test runs side by side would; --load none runs them unloaded.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages x86 || exit 1
ensure_wine32 || exit 1
if ! command -v stress-ng >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root, or install stress-ng first: sudo apt-get install -y stress-ng"
    exit 1
  fi
  with_install_lock marigold_apt install stress-ng >/dev/null || exit 1
fi
build_preset windows marigold chatroom winprobe win_tests || exit 1
build_preset windows-x86 marigold chatroom win_tests || exit 1
use_wine_prefix
# With 32-bit Wine in, the one prefix has its 32-bit half: the x86 tests copy it too.
make_wine_prefix "$WINEPREFIX" || exit 1
export MARIGOLD_X86_PREFIX="$WINEPREFIX"

exec "$MARIGOLD_PYTHON" "$MARIGOLD_ROOT/scripts/stress.py" --source "$MARIGOLD_ROOT" \
  --windows "$MARIGOLD_ROOT/build/windows" --x86 "$MARIGOLD_ROOT/build/windows-x86" \
  --scratch "$MARIGOLD_ROOT/build/stress" "$@"
