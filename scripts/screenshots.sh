#!/usr/bin/env bash
# Makes the README's pictures of the real program: the ledger chooser, the main window on the
# demonstration ledger and the entry form. The program runs from a copy of the built program
# folder under a virtual X server on display :97, driven with keys and clicks.
#   bash scripts/screenshots.sh [output-folder]      (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"

tools=(xvfb openbox xdotool imagemagick)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ -x build/Quillbrook/Quillbrook ] || bash scripts/build.sh
cmake --build build --target Quillbrook quill-programfiles

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
export DISPLAY="$display" LANG=zh_CN.UTF-8

# A fresh program folder per picture, so every start sees the files as installed.
fresh() {
  rm -rf "$work/program"
  cp -r build/programfiles "$work/program"
  cp build/Quillbrook/Quillbrook "$work/program/"
}
start() {
  "$work/program/Quillbrook" &
  program=$!
  sleep 4
}
stop() {
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
}
shot() {
  mkdir -p "$out"
  import -window root "$work/shot.png"
  # Small files: 256 colours are plenty for a dialog.
  convert "$work/shot.png" -trim +repage -strip -colors 256 "PNG8:$out/$1.png"
  echo "wrote $out/$1.png"
}
demo_login() {
  cat >"$work/program/Quillbrook.ini" <<INI
[Quillbrook3]
LoginMode=自动登录到上次登录的软件帐套
LoginDatabase=$work/program/DataBase/Demo.ddb
INI
  start
  xdotool key Return # the login: the first user, no password
  sleep 3
  xdotool key Escape # the book choice
  sleep 2
}

fresh
start
shot chooser
stop

fresh
demo_login
shot main
# 收入 on the work panel opens the entry form for a new income. Its place in the window moves
# with the layout: INCOME_X and INCOME_Y override it.
window="$(xdotool getactivewindow)"
xdotool mousemove --window "$window" "${INCOME_X:-49}" "${INCOME_Y:-209}" click 1
sleep 2
shot entry
stop
