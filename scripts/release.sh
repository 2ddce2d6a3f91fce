#!/usr/bin/env bash
# The release command: builds marigold.exe for x86_64 and 32-bit x86 (the windows and
# windows-x86 presets), copies both to out/release with their SHA256SUMS, and checks that each
# carries its version block, icon, pictures and manifest, needs no DLL beyond those Windows
# brings and imports nothing the oldest Windows of its build lacks.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
build_preset windows || exit 1
build_preset windows-x86 || exit 1

out="$MARIGOLD_ROOT/out/release"
mkdir -p "$out"
rm -f "$out"/marigold-*.exe "$out/SHA256SUMS"
cp build/windows/marigold.exe "$out/marigold-x86_64.exe" || exit 1
cp build/windows-x86/marigold.exe "$out/marigold-x86.exe" || exit 1
# The builds are reproducible, so anyone who builds the same commit gets these same sums.
(cd "$out" && sha256sum marigold-x86_64.exe marigold-x86.exe >SHA256SUMS) || exit 1

echo "== release artifacts in $out"
ls -l "$out"/marigold-*.exe | awk '{ printf "   %10d bytes  %s\n", $5, $NF }'
sed 's/^/   /' "$out/SHA256SUMS"
echo "== checking them"
"$MARIGOLD_PYTHON" "$MARIGOLD_ROOT/scripts/release_check.py" \
  "$out/marigold-x86_64.exe:x86_64" "$out/marigold-x86.exe:x86" || {
  echo "== release check FAILED"
  exit 1
}
echo "== release ready"
