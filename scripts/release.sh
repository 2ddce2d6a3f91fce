#!/usr/bin/env bash
# The release command: builds marigold.exe for x86_64 and 32-bit x86 (the windows and
# windows-x86 presets), copies both to out/release and checks that each carries its version
# block, icon, pictures and manifest and needs no DLL beyond those Windows brings.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
build_preset windows || exit 1
build_preset windows-x86 || exit 1

out="$MARIGOLD_ROOT/out/release"
mkdir -p "$out"
rm -f "$out"/marigold-*.exe
cp build/windows/marigold.exe "$out/marigold-x86_64.exe" || exit 1
cp build/windows-x86/marigold.exe "$out/marigold-x86.exe" || exit 1

echo "== release artifacts in $out"
ls -l "$out"/marigold-*.exe | awk '{ printf "   %10d bytes  %s\n", $5, $NF }'
echo "== checking them"
python3 "$MARIGOLD_ROOT/scripts/release_check.py" \
  "$out/marigold-x86_64.exe:x86_64" "$out/marigold-x86.exe:x86" || {
  echo "== release check FAILED"
  exit 1
}
echo "== release ready"
