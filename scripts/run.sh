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
rm -f "$out"/chat.log "$out"/*.png "$out"/*.log
tour=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  tour=1
  start_private_display 800x600 || exit 1
  echo "== no display: a private X server on $DISPLAY runs a guided tour"
fi
trap 'stop_wine_and_display; kill $(jobs -p) 2>/dev/null' EXIT
prepare_wine

bin="$MARIGOLD_ROOT/build/windows"
if [ $tour -eq 1 ]; then
  CHATROOM_EXE="$bin/tools/chatroom/chatroom.exe" WINPROBE_EXE="$bin/tests/e2e/probe/winprobe.exe" \
  MARIGOLD_EXE="$bin/marigold.exe" python3 "$MARIGOLD_ROOT/scripts/tour.py" "$out"
  status=$?
  echo "== screenshots saved in $out:"
  ls "$out"/*.png 2>/dev/null
  exit $status
fi

# The chat room sits in the bottom-left corner, clear of the program's windows.
"$MARIGOLD_WINE64" "$bin/tools/chatroom/chatroom.exe" --name "Nick1" --log "Z:${out//\//\\}\\chat.log" \
  --pos 0,340,232,260 >/dev/null 2>&1 </dev/null &
for _ in $(seq 1 100); do [ -f "$out/chat.log" ] && break; sleep 0.1; done
touch "$out/chat.log"
# Print each line's text as the chat room logs it (hex, room, text, tab-separated).
tail -n +1 -F "$out/chat.log" 2>/dev/null | while IFS=$'\t' read -r _hex _room text; do
  printf 'chat> %s\n' "$text"
done &
echo "== marigold.exe is running on $DISPLAY; click the splash to begin, the X spot ends it"
"$MARIGOLD_WINE64" "$bin/marigold.exe" >/dev/null 2>&1 </dev/null
