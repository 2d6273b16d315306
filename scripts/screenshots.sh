#!/usr/bin/env bash
# Makes the README's pictures of the real program: the ledger chooser, the main window on the
# demonstration ledger, the entry form, the journal tab, the report centre with a report made and
# the analysis chart. The program runs from a fresh copy of the built program folder under a
# virtual X server on display :97 with a window manager; build/tests/quill_screenshots drives it
# by the controls' names and pictures each window with its frame.
#   bash scripts/screenshots.sh [output-folder]      (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"

tools=(xvfb openbox imagemagick)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ -f build/build.ninja ] || bash scripts/build.sh
cmake --build build --target quill_screenshots quill-programfiles

work="$(mktemp -d)"
display=:97
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
pids+=($!)
sleep 1
DISPLAY="$display" openbox &
pids+=($!)
sleep 1

DISPLAY="$display" LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb \
  build/tests/quill_screenshots "$work/shots"

mkdir -p "$out"
for shot in "$work"/shots/*.png; do
  # Small files: 256 colours are plenty for a window.
  convert "$shot" -strip -colors 256 "PNG8:$out/$(basename "$shot")"
  echo "wrote $out/$(basename "$shot")"
done
