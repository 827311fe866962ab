#!/usr/bin/env bash
# Starts the real window (`kr450 --simulate`) on a private X server with a window manager
# (openbox) and a tray host (trayer), walks through it with the real pointer (xdotool) and
# saves what the screen shows as PNG: the three pages, an open function menu with its submenu,
# the left-button warning, the window menu, the advanced page with a recorded macro and its
# event list's context menu, and the tray menu.
#
#   tools/screenshots.sh [OUT_DIR]          (default: docs/screenshots)
#
# KR450_BUILD_DIR names the build folder (default: build); kr450 and kr450-x11-grab are built
# there when missing. Coordinates come from the skin's layout files, not from this script.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-$ROOT/docs/screenshots}
BUILD=${KR450_BUILD_DIR:-$ROOT/build}
BIN=$BUILD/bin
SKINS=$BIN/skins

for tool in Xvfb openbox trayer xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (tools/deps.sh)" >&2; exit 1; }
done
if [ ! -x "$BIN/kr450" ] || [ ! -x "$BIN/kr450-x11-grab" ]; then
  cmake --build "$BUILD" --target kr450 kr450-x11-grab
fi
mkdir -p "$OUT"

WORK=$(mktemp -d)
PIDS=()
cleanup() {
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "screenshots: $*" >&2
  [ -f "$WORK/trace" ] && sed 's/^/  trace: /' "$WORK/trace" >&2
  exit 1
}

# Waits until `test` (a command) succeeds, for at most 10 s.
wait_until() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}

# --- the desktop: X server on a free display, window manager, tray host
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$WORK/display" 2>/dev/null &
PIDS+=($!)
wait_until test -s "$WORK/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$WORK/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
PIDS+=($!)
wait_until sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
  fail "openbox did not start"
trayer --edge bottom --align right --widthtype pixel --width 120 --height 26 \
  --SetDockType true --transparent false >/dev/null 2>&1 &
PIDS+=($!)
wait_until xdotool search --name '^panel$' >/dev/null || fail "trayer did not start"

# --- the window, on a scratch data folder of its own
mkdir -m 700 "$WORK/runtime" "$WORK/data"
cp "$ROOT/data/config.ini" "$ROOT/data/Macro.dat" "$WORK/data/"
XDG_RUNTIME_DIR="$WORK/runtime" "$BIN/kr450" --simulate --trace --data "$WORK/data" \
  >"$WORK/trace" 2>&1 &
KR450=$!
PIDS+=($KR450)

traced() { grep -c "^$1" "$WORK/trace" || true; }
# Waits until the trace holds more lines starting with $1 than $2.
wait_trace() { wait_until sh -c "[ \$(grep -c '^$1' '$WORK/trace') -gt $2 ]" || fail "no '$1' in the trace"; }

wait_trace painted 0
WINDOW=$(xdotool search --all --onlyvisible --pid "$KR450" --name '^KR-450' | head -n1)
[ -n "$WINDOW" ] || fail "the window is not on the screen"

# Absolute x, y, width and height of a window.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
read -r WX WY _ _ < <(geometry "$WINDOW")

# Entry N of a skin file's BUTTONPOS table: x y width height.
item() {
  awk -F'[=,]' -v n="$2" '/^\[/ {s = ($0 ~ /^\[BUTTONPOS\]/)} s && $1 == n {print $3, $4, $5, $6}' \
    "$SKINS/$1"
}
# The screen point of the middle of main table entry N.
centre() {
  local x y w h
  read -r x y w h < <(item skin_main.ini "$1")
  echo "$((WX + x + w / 2)) $((WY + y + h / 2))"
}
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; }
away() { xdotool mousemove 1 1; sleep 0.5; }
shot() {
  "$BIN/kr450-x11-grab" "$OUT/$1.png" 2>/dev/null || fail "could not grab $1"
  echo "saved $OUT/$1.png"
}
# A visible window of the program with this name; empty when none shows.
named() { xdotool search --all --onlyvisible --pid "$KR450" --name "^$1\$" 2>/dev/null | head -n1; }
shows() { [ -n "$(named "$1")" ]; }

# Table entries of skin_main.ini (their meaning is fixed; the skin gives the places).
TAB_MAIN=9 TAB_ADVANCED=10 TAB_LIGHTING=11 CLOSE=13 RESET=16 SLOT1=17 SLOT2=18 CAPTION=23

# --- the three pages
away
shot main
click $(centre $TAB_ADVANCED)
away
shot advanced
click $(centre $TAB_LIGHTING)
away
shot lighting
click $(centre $TAB_MAIN)
away

# --- a slot's function menu with the macro submenu open, its second item highlighted
n=$(traced "menu open")
click $(centre $SLOT2)
wait_trace "menu open" "$n"
wait_until shows MainMenuDlg || fail "no function menu"
read -r MX MY MW MH < <(geometry "$(named MainMenuDlg)")
ROW=$(((MH - 1) / 10))                       # ten rows and one line
xdotool mousemove $((MX + MW / 2)) $((MY + 8 * ROW + ROW / 2))   # row 9: the macros
wait_until shows SubMenuDlg || fail "no submenu"
read -r SX SY SW _ < <(geometry "$(named SubMenuDlg)")
xdotool mousemove $((SX + SW / 2)) $((SY + ROW + ROW / 2))
sleep 0.5
shot menu
# A press on a caption without an action closes the menu and changes nothing.
n=$(traced "menu close")
click $(centre $CAPTION)
wait_trace "menu close" "$n"
away

# --- the warning: slot 1 holds the only left button
n=$(traced "warning")
click $(centre $SLOT1)
wait_trace "warning" "$n"
sleep 0.5
read -r x y w h < <(item skin_main.ini $SLOT1)
read -r cx cy cw ch < <(item LBWarning.ini 1)  # its cancel button
xdotool mousemove $((WX + x + 10)) $((WY + y + h + 10))
sleep 0.3
shot warning
n=$(traced "warning cancelled")
click $((WX + x + cx + cw / 2)) $((WY + y + h + cy + ch / 2))
wait_trace "warning cancelled" "$n"
away

# --- the window menu: a right click on an empty area of the window (beside the reset)
read -r x y w h < <(item skin_main.ini $RESET)
click $((WX + x + w + 8)) $((WY + y + h / 2)) 3
sleep 0.5
xdotool mousemove $((WX + x + w + 30)) $((WY + y + h / 2 + 10))  # on its first item
sleep 0.4
shot windowmenu
xdotool key Escape
away

# --- the advanced page with a macro recorded there, and the event list's context menu
# Entry N of section $1 of skin_advance.ini: x y width height.
advanced() {
  awk -F'[=,]' -v s="[$1]" -v n="$2" '/^\[/ {in_s = (index($0, s) == 1)} in_s && $1 == n {
    print $3, $4, $5, $6}' "$SKINS/skin_advance.ini"
}
advanced_centre() {
  local x y w h
  read -r x y w h < <(advanced BUTTONPOS "$1")
  echo "$((WX + x + w / 2)) $((WY + y + h / 2))"
}
ADD_MACRO=2 RECORD=4 EVENTS=2  # advanced table entries; the event list in MACRODISPLAY
click $(centre $TAB_ADVANCED)
sleep 0.3
# A new macro: its name in the name field, then 新建宏.
read -r x y w h < <(advanced EDIT 4)
click $((WX + x + w / 2)) $((WY + y + h / 2))
xdotool key ctrl+a type --delay 40 'Shift+B'
click $(advanced_centre $ADD_MACRO)
sleep 0.3
# Recorded: a, then Shift+B, typed with pauses the recorder measures.
n=$(traced recording)
click $(advanced_centre $RECORD)
wait_trace recording "$n"
xdotool keydown a sleep 0.12 keyup a sleep 0.2 keydown shift sleep 0.1 keydown b sleep 0.07 \
  keyup b sleep 0.09 keyup shift
sleep 0.2
n=$(traced "recording stopped")
click $(advanced_centre $RECORD)
wait_trace "recording stopped" "$n"
away
shot advanced_macro
# The context menu: a right click on the event list's third line (a key event), the pointer
# on its first item, whose submenu opens.
read -r x y w h < <(advanced MACRODISPLAY $EVENTS)
click $((WX + x + w / 2)) $((WY + y + 40)) 3
sleep 0.5
xdotool mousemove_relative 10 10
sleep 0.6
shot eventmenu
xdotool key Escape
sleep 0.2
xdotool key Escape
click $(centre $TAB_MAIN)
away

# --- the tray: the close control hides the window; the icon's right click opens its menu
n=$(traced "tray hide")
click $(centre $CLOSE)
wait_trace "tray hide" "$n"
icon=""
find_icon() {
  local id gx gy gw gh
  for id in $(xdotool search --onlyvisible --pid "$KR450"); do
    read -r gx gy gw gh < <(geometry "$id")
    if [ "$gw" -le 32 ] && [ "$gh" -le 32 ]; then icon="$((gx + gw / 2)) $((gy + gh / 2))"; return 0; fi
  done
  return 1
}
wait_until find_icon || fail "no tray icon"
click $icon 3
sleep 0.6
read -r ix iy <<<"$icon"
# The menu opens at the pointer, moved to fit the screen: find it as the program's window
# two items (40 pixels) high.
menu=""
find_menu() {
  local id gx gy gw gh
  for id in $(xdotool search --onlyvisible --pid "$KR450"); do
    read -r gx gy gw gh < <(geometry "$id")
    if [ "$gh" -eq 40 ]; then menu="$gx $gy $gw"; return 0; fi
  done
  return 1
}
wait_until find_menu || fail "no tray menu"
read -r tx ty tw <<<"$menu"
xdotool mousemove $((tx + tw / 2)) $((ty + 10))
sleep 0.4
shot traymenu
# Its second item quits with the close sequence.
click $((tx + tw / 2)) $((ty + 30))
wait_until sh -c "! kill -0 $KR450 2>/dev/null" || fail "the tray menu's quit did not end kr450"
grep -q '^speed 10$' "$WORK/trace" || fail "the close sequence did not run"
echo "kr450 ended from the tray menu"
