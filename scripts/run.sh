#!/usr/bin/env bash
# The run command: builds the Windows program, starts the stand-in chat client and
# marigold.exe under Wine, and prints the chat room's lines as they arrive. On a display you
# drive it yourself; with none, a private X server is started and a guided tour clicks
# through the program and saves screenshots.
set -u
source "$(dirname "$0")/setup.sh"
cd "$MARIGOLD_ROOT" || exit 1

ensure_packages || exit 1
build_preset windows || exit 1

out="$MARIGOLD_ROOT/build/run"
mkdir -p "$out"
rm -f "$out"/chat.log "$out"/*.png
tour=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  tour=1
  start_private_display 800x600 || exit 1
  echo "== no display: a private X server on $DISPLAY runs a guided tour"
fi
trap 'stop_wine_and_display; kill $(jobs -p) 2>/dev/null' EXIT
prepare_wine

bin="$MARIGOLD_ROOT/build/windows"
# The chat room sits in the bottom-left corner, clear of the program's windows.
wine "$bin/tools/chatroom/chatroom.exe" --name "Nick1" --log "$(winepath -w "$out/chat.log")" \
  --pos 0,250,400,350 >/dev/null 2>&1 &
for _ in $(seq 1 100); do [ -f "$out/chat.log" ] && break; sleep 0.1; done
touch "$out/chat.log"
# Print each line's text as the chat room logs it.
tail -n +1 -F "$out/chat.log" 2>/dev/null | while IFS=$'\t' read -r _hex text; do
  printf 'chat> %s\n' "$text"
done &
wine "$bin/marigold.exe" >/dev/null 2>&1 &
marigold=$!

if [ $tour -eq 1 ]; then
  python3 "$MARIGOLD_ROOT/scripts/tour.py" "$out" || echo "== the tour stopped early"
  echo "== screenshots saved in $out"
  ls "$out"/*.png 2>/dev/null
else
  echo "== marigold.exe is running on $DISPLAY; click the splash to begin, the X spot ends it"
  wait $marigold
fi
