#!/usr/bin/env bash
# Retakes the README screenshots in docs/screenshots/ from the real program
# on a copy of the sample catalogue, in a virtual X display (no window
# manager, so the windows have no title bars):
#   main-results.png  the main window with the results of 夏 + 白, one framed
#   search-pad.png    the search pad with those boxes ticked, its counts and
#                     the hint for the next question
#   pad-counts.png    the same pad on its leaf page: the count of species
#                     each choice would leave, choices that leave none muted
#   compare.png       the first two results compared side by side
#   viewer-memo.png   the viewer on ハコベ with its memo window beside it
#
# Usage: bash scripts/screenshots.sh [BUILD_DIR]   (default build/, built
# here when it holds no program)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

BUILD="${1:-build}"
OUT=docs/screenshots
# shellcheck source=tests/gui/lib.sh
source tests/gui/lib.sh

gui_require
if [ ! -x "$BUILD/tolvarin" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
  cmake --build "$BUILD" -j2 --target tolvarin || exit 1
fi

WORK="$(mktemp -d)"
APP="$WORK/app"
trap 'gui_cleanup; rm -rf "$WORK"' EXIT
trap 'exit 1' INT TERM HUP
mkdir -p "$OUT"

fail() {
  [ -n "${DISPLAY:-}" ] && import -window root "$WORK/failure.png" 2>/dev/null &&
    cp "$WORK/failure.png" "$BUILD/screenshots-failure.png"
  gui_fail "$*"
}

PAD_X=620 PAD_Y=0
LIST_X=0 LIST_Y=560
VIEW_X=620 VIEW_Y=0
CMP_X=0 CMP_Y=520 CMP_W=760 CMP_H=470
# Boxes on the pad (its own coordinates) and its execute button.
PAD_SUMMER="140 40"
PAD_WHITE="90 62"
PAD_EXECUTE="127 307"
VIEWER_RE=' \[[0-9]+/[0-9]+\]$'
MEMO_SPECIES=ハコベ
MEMO_WIDTH=330

gui_copy_program "$BUILD" "$APP"
# The viewer follows the size of the picture (AutoSize=0); the memo window
# goes to its right once the viewer's size is known.
printf '%s\r\n' \
  '[Window]' 'Left=0' 'Top=0' 'Width=582' 'Height=504' \
  '[Search]' "Left=$PAD_X" "Top=$PAD_Y" \
  '[Image]' "Left=$VIEW_X" "Top=$VIEW_Y" 'AutoSize=0' \
  '[List]' "Left=$LIST_X" "Top=$LIST_Y" \
  '[Memo]' 'Left=1300' 'Top=0' "Width=$MEMO_WIDTH" 'Height=300' \
  '[Compare]' "Left=$CMP_X" "Top=$CMP_Y" "Width=$CMP_W" "Height=$CMP_H" >"$APP/tolvarin.ini"

gui_start_display 1600x1000 "$WORK"
gui_start_program "$APP" "$WORK/program.log"

at() { # window-x window-y "dx dy": a click there
  local dx dy
  read -r dx dy <<<"$3"
  gui_click $(($1 + dx)) $(($2 + dy))
}

main=$(gui_wait_window '^Tolvarin－' 60) || fail "no main window"
for _ in 1 2 3 4 5 6; do
  mapfile -t buttons < <(gui_tool_buttons "$main" "$WORK")
  [ ${#buttons[@]} -ge 2 ] && break
  sleep 0.5
done
[ ${#buttons[@]} -ge 2 ] || fail "main tool bar not found"

# shellcheck disable=SC2086
gui_click ${buttons[0]}
pad=$(gui_wait_window '^検索パッド$' 30) || fail "no search pad"
gui_wait_position "$pad" "$PAD_X" "$PAD_Y" 10 || fail "search pad not in place"
at "$PAD_X" "$PAD_Y" "$PAD_SUMMER"
at "$PAD_X" "$PAD_Y" "$PAD_WHITE"
gui_park_pointer
sleep 0.5
import -window "$pad" "$WORK/search-pad.png" || fail "pad picture"
# Ctrl+Tab twice: the leaf page.
xdo key --window "$pad" ctrl+Tab ctrl+Tab
sleep 0.5
import -window "$pad" "$WORK/pad-counts.png" || fail "pad counts picture"

at "$PAD_X" "$PAD_Y" "$PAD_EXECUTE"
gui_wait_window '^植物名リスト$' 60 >/dev/null || fail "no results"
gui_wait_no_window '^検索実行中$' 30 || fail "the search did not end"
# Hovering the first picture frames it and names it in the status bar.
gui_geometry "$main"
xdo mousemove 60 80
sleep 0.2
xdo mousemove 80 100
sleep 0.8
import -window "$main" "$WORK/main-results.png" || fail "main window picture"

# Ctrl+click on the first two pictures chooses them; Ctrl+K compares them.
ctrl_click() {
  xdo mousemove "$1" "$2"
  sleep 0.3
  xdo keydown ctrl
  xdo click 1
  xdo keyup ctrl
  sleep 0.2
}
ctrl_click 80 100
ctrl_click 270 100
xdo key --window "$main" ctrl+k
cmp=$(gui_wait_window '^比較$' 20) || fail "no comparison window"
gui_wait_position "$cmp" "$CMP_X" "$CMP_Y" 10 || fail "comparison window not in place"
gui_park_pointer
sleep 0.8
import -window "$cmp" "$WORK/compare.png" || fail "comparison picture"
xdo mousemove 60 80
sleep 0.2
xdo mousemove 80 100
sleep 0.3

# A click on the frame opens the species; 次の種類 steps to the one with the
# memo.
gui_click 80 100
viewer=$(gui_wait_window "$VIEWER_RE" 20) || fail "no viewer from the frame"
for _ in 1 2 3 4 5 6; do
  mapfile -t vb < <(gui_tool_buttons "$viewer" "$WORK")
  [ ${#vb[@]} -ge 5 ] && break
  sleep 0.5
done
# 画像表示終了, 前の種類, [前画像, 次画像,] 次の種類, 別窓, 窓合わせ
next_kind="${vb[$((${#vb[@]} - 3))]}"
caption=$(gui_name "$viewer")
for _ in $(seq 1 60); do
  [ "${caption% \[*}" = "$MEMO_SPECIES" ] && break
  # shellcheck disable=SC2086
  gui_click $next_kind
  caption=$(gui_wait_name_change "$viewer" "$caption" 15) || fail "次の種類 did not move on"
done
[ "${caption% \[*}" = "$MEMO_SPECIES" ] || fail "$MEMO_SPECIES not among the results"
memo=$(gui_wait_window "^$MEMO_SPECIES\$" 10) || fail "no memo window for $MEMO_SPECIES"
gui_park_pointer
sleep 0.3
gui_geometry "$viewer"
vx=$WX vy=$WY vw=$WW vh=$WH
xdo windowsize "$memo" "$MEMO_WIDTH" "$vh"
xdo windowmove "$memo" $((vx + vw)) "$vy"
gui_wait_position "$memo" $((vx + vw)) "$vy" 10 || fail "memo window not in place"
sleep 0.8
import -window root -crop "$((vw + MEMO_WIDTH))x$vh+$vx+$vy" +repage "$WORK/viewer-memo.png" || fail "viewer picture"

gui_click "${buttons[1]% *}" "${buttons[1]#* }"
gui_wait_exit 30 || fail "the program did not end"

for f in main-results search-pad pad-counts compare viewer-memo; do
  convert "$WORK/$f.png" -strip -define png:compression-level=9 "$OUT/$f.png" || fail "$f.png"
  gui_log "$OUT/$f.png $(identify -format '%wx%h' "$OUT/$f.png") $(($(stat -c %s "$OUT/$f.png") / 1024)) KB"
done
