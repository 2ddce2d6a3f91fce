#!/usr/bin/env bash
# The performance budget in one command: builds the windows preset (and windows-x86 for its
# size), starts a private X display and Wine prefix, and runs bench.py, which prints each
# figure beside its baseline. Not a ctest test: it takes about three minutes and its figures
# depend on the machine.
#
# Optional environment:
#   BENCH_BUILD, BENCH_BUILD32   build folders (default: the presets' build/windows, build/windows-x86)
#   BENCH_DISPLAY                an X display number to start Xvfb on (default: the first free one)
#   BENCH_WINEPREFIX             a Wine prefix of its own (default: the project's build/wineprefix)
#   BENCH_JSON                   where to keep the raw figures (default: <build>/bench.json)
# Arguments are passed on to bench.py (e.g. --runs 9 --idle-seconds 70).
set -euo pipefail

# shellcheck source=../../scripts/setup.sh
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/setup.sh"
root=$MARIGOLD_ROOT
build=${BENCH_BUILD:-$root/build/windows}
build32=${BENCH_BUILD32:-$root/build/windows-x86}

ensure_packages

build_into() {
  local preset=$1 dir=$2 log=$2.bench-build.log
  shift 2
  echo "== build $preset in $dir"
  mkdir -p "$(dirname "$dir")"
  if ! { cmake --preset "$preset" -S "$root" -B "$dir" &&
         cmake --build "$dir" -j"$(nproc)" --target "$@"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "== build $preset FAILED (full log: $log)"
    return 1
  fi
}
build_into windows "$build" marigold marigold_spin bare chatroom winprobe
build_into windows-x86 "$build32" marigold bare

trap stop_wine_and_display EXIT
if [ -n "${BENCH_DISPLAY:-}" ]; then
  Xvfb "$BENCH_DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  MARIGOLD_XVFB_PID=$!
  export DISPLAY=$BENCH_DISPLAY
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
else
  start_private_display 800x600
fi

if [ -n "${BENCH_WINEPREFIX:-}" ]; then
  # As prepare_wine does, in the prefix asked for.
  export WINEPREFIX=$BENCH_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=${MARIGOLD_LANG:-C.UTF-8}
  make_wine_prefix "$WINEPREFIX"
  wineserver -p || true  # one already kept alive for this prefix will do
else
  prepare_wine
fi

echo "== measuring on $DISPLAY, prefix $WINEPREFIX, $(nproc) cores, $("$MARIGOLD_WINE64" --version)"
PYTHONDONTWRITEBYTECODE=1 python3 "$root/tools/bench/bench.py" --build "$build" \
  --build32 "$build32" --json "${BENCH_JSON:-$build/bench.json}" "$@"
