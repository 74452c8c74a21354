#!/usr/bin/env bash
# Drives the real program the way a person does, in a virtual X display, on
# a copy of the sample catalogue:
#
#   1. the search pad from the tool bar, "夏" ticked, "検索実行";
#   2. the first name of the list window opened in the viewer; every species
#      visited with "次の種類" until the viewer is back at the first one;
#      the pictures of one species stepped through with "次画像";
#   3. a second search with "秋" and "青" (both must hold), visited the same
#      way; the viewer moved by hand;
#   4. the program ended with the "終了" tool button.
#
# The species the viewer shows must be exactly those the catalogue file says
# the search finds, each with its own picture count, and the memo window
# must be there exactly for those with a memo file. The program must end by
# itself with status 0 and no fatal output, and its settings file must hold
# the window positions, including where the viewer was moved to.
#
# Usage: real-window.sh BUILD_DIR OUT_DIR
#   BUILD_DIR holds the built program with picture/ beside it; OUT_DIR
#   receives a picture of the screen at each step, the program's output
#   and its settings file.
set -uo pipefail

BUILD="${1:?build folder}"
OUT="${2:?output folder}"
# shellcheck source=tests/gui/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

gui_require
[ -x "$BUILD/tolvarin" ] || gui_fail "no program at $BUILD/tolvarin"
[ -f "$BUILD/picture/Tolvarin.dat" ] || gui_fail "no catalogue at $BUILD/picture/Tolvarin.dat"

WORK="$(mktemp -d)"
APP="$WORK/app"
LOG="$OUT/program.log"
trap 'gui_cleanup; rm -rf "$WORK"' EXIT
trap 'exit 1' INT TERM HUP

mkdir -p "$OUT"
rm -f "$OUT"/*.png "$LOG" "$OUT/tolvarin.ini"

# Where the windows go: side by side, none over another.
SCREEN=1600x1000
MAIN_X=0 MAIN_Y=0 MAIN_W=582 MAIN_H=504
PAD_X=620 PAD_Y=0
LIST_X=0 LIST_Y=560
VIEW_X=1120 VIEW_Y=0
MEMO_X=1120 MEMO_Y=420
# Where the viewer is moved to before the end.
MOVED_X=1134 MOVED_Y=26

# Places on the search pad (its own coordinates): the pad has a fixed size
# and fixed places for its check boxes (a row of 50 pixel columns under the
# page tabs) and its buttons (a bar along the bottom).
PAD_SUMMER="140 40"
PAD_AUTUMN="190 40"
PAD_BLUE="240 62"
PAD_EXECUTE="127 307"
# The first name of the list window: top of the names column, right of the
# conditions tree.
LIST_FIRST="190 9"

VIEWER_RE=' \[[0-9]+/[0-9]+\]$'
MESSAGE_RE='^(エラー|確認|Tolvarin)$'

step=0
shot() {
  step=$((step + 1))
  gui_shot "$OUT/$(printf '%02d' "$step")-$1.png"
}

# On a failure, keep a picture of the screen and say whether a message box
# is in the way.
fail() {
  if [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ]; then
    import -window root "$OUT/failure.png" 2>/dev/null
    local id
    for id in $(gui_find "$MESSAGE_RE"); do
      gui_log "a message window is open: $(gui_name "$id")"
    done
  fi
  if ! gui_program_running; then
    gui_log "the program is not running; its output:"
    cat "$LOG" >&2
  fi
  gui_fail "$*"
}

no_message_window() {
  [ -z "$(gui_find "$MESSAGE_RE")" ] || fail "a message window appeared: $1"
}

gui_copy_program "$BUILD" "$APP"
printf '%s\r\n' \
  '[Window]' "Left=$MAIN_X" "Top=$MAIN_Y" "Width=$MAIN_W" "Height=$MAIN_H" \
  '[Search]' "Left=$PAD_X" "Top=$PAD_Y" \
  '[Image]' "Left=$VIEW_X" "Top=$VIEW_Y" 'AutoSize=1' \
  '[List]' "Left=$LIST_X" "Top=$LIST_Y" \
  '[Memo]' "Left=$MEMO_X" "Top=$MEMO_Y" 'Width=429' 'Height=249' >"$APP/tolvarin.ini"

started=$SECONDS
gui_start_display "$SCREEN" "$WORK"
gui_start_program "$APP" "$LOG"

main=$(gui_wait_window '^Tolvarin－' 60) || fail "the main window did not appear"
gui_wait_position "$main" "$MAIN_X" "$MAIN_Y" 10 || fail "main window at $WX,$WY, not $MAIN_X,$MAIN_Y"
no_message_window "at start"
# Enabled at start: "検索開始" and "終了", the first two. A window that is
# not painted yet is looked at again.
for attempt in 1 2 3 4 5 6; do
  mapfile -t main_buttons < <(gui_tool_buttons "$main" "$WORK")
  [ ${#main_buttons[@]} -ge 2 ] && break
  sleep 0.5
done
[ ${#main_buttons[@]} -ge 2 ] || fail "main tool bar: found ${#main_buttons[@]} enabled buttons"
SEARCH_BUTTON="${main_buttons[0]}"
EXIT_BUTTON="${main_buttons[1]}"
shot start

click_on() { # window-x window-y "dx dy"
  local dx dy
  read -r dx dy <<<"$3"
  gui_click $(($1 + dx)) $(($2 + dy))
}

# One search: the pad opened, the given boxes ticked, the search run, and
# the first species of the list opened in the viewer. Sets VIEWER.
search_and_open() {
  local label="$1"
  shift
  # shellcheck disable=SC2086
  gui_click $SEARCH_BUTTON
  local pad
  pad=$(gui_wait_window '^検索パッド$' 30) || fail "the search pad did not open"
  gui_wait_position "$pad" "$PAD_X" "$PAD_Y" 10 || fail "search pad at $WX,$WY, not $PAD_X,$PAD_Y"
  # A new search starts clean: no list, no viewer left from the last one.
  [ -z "$(gui_find '^植物名リスト$')" ] || fail "the list window is still open on the search pad"
  [ -z "$(gui_find "$VIEWER_RE")" ] || fail "the viewer is still open on the search pad"
  local place
  for place in "$@"; do
    click_on "$PAD_X" "$PAD_Y" "$place"
  done
  gui_park_pointer
  sleep 0.3
  shot "pad-$label"
  click_on "$PAD_X" "$PAD_Y" "$PAD_EXECUTE"

  local list
  list=$(gui_wait_window '^植物名リスト$' 60) || fail "no list window after the search"
  gui_wait_position "$list" "$LIST_X" "$LIST_Y" 10 || fail "list window at $WX,$WY, not $LIST_X,$LIST_Y"
  gui_wait_no_window '^検索パッド$' 10 || fail "the search pad stayed open after the search"
  gui_wait_no_window '^検索実行中$' 30 || fail "the search progress window stayed open"
  no_message_window "after the search"
  sleep 0.3
  shot "results-$label"

  # A double click that the machine was too slow to deliver as one is
  # given again.
  local attempt
  VIEWER=""
  for attempt in 1 2 3; do
    gui_double_click $((LIST_X + ${LIST_FIRST% *})) $((LIST_Y + ${LIST_FIRST#* }))
    VIEWER=$(gui_wait_window "$VIEWER_RE" 10) && break
    no_message_window "after a double click on the list"
    gui_log "no viewer after double click $attempt"
  done
  [ -n "$VIEWER" ] || fail "the viewer did not open from the list window"
  gui_wait_position "$VIEWER" "$VIEW_X" "$VIEW_Y" 10 || fail "viewer at $WX,$WY, not $VIEW_X,$VIEW_Y"
  gui_park_pointer
  sleep 0.3
  shot "viewer-$label"
}

# The viewer's "次画像" and "次の種類" buttons. With one picture the picture
# buttons are disabled and not found; NEXT_PICTURE is then empty.
find_viewer_buttons() {
  local -a b
  local attempt
  for attempt in 1 2 3 4 5 6; do
    mapfile -t b < <(gui_tool_buttons "$VIEWER" "$WORK")
    [ ${#b[@]} = 7 ] || [ ${#b[@]} = 5 ] && break
    sleep 0.5 # not painted yet
  done
  case ${#b[@]} in
  # 画像表示終了, 前の種類, 前画像, 次画像, 次の種類, 別窓, 窓合わせ
  7) NEXT_PICTURE="${b[3]}" NEXT_KIND="${b[4]}" ;;
  5) NEXT_PICTURE="" NEXT_KIND="${b[2]}" ;;
  *) fail "viewer tool bar: found ${#b[@]} enabled buttons" ;;
  esac
}

# Visits every species of the search from the viewer and compares them with
# the catalogue: expected are the species matching the given conditions
# (guitool.py expect).
visit_all() {
  local label="$1"
  shift
  local -A pictures=()
  local name count
  while IFS=$'\t' read -r name count; do
    pictures["$name"]=$count
  done < <(python3 "$GUI_TOOL" expect "$APP/picture/Tolvarin.dat" "$@")
  local expected=${#pictures[@]}
  [ "$expected" -ge 2 ] || fail "the catalogue gives $expected species for $*; the visit needs two or more"

  local caption first pos n m stepped=no
  local -a visited=()
  caption=$(gui_name "$VIEWER") || fail "viewer caption"
  first="${caption% \[*}"
  find_viewer_buttons
  while :; do
    name="${caption% \[*}"
    pos="${caption##* \[}"
    pos="${pos%]}"
    n="${pos%/*}"
    m="${pos#*/}"
    [ -n "${pictures[$name]+set}" ] || fail "the viewer shows \"$name\", which the catalogue does not give for $*"
    [ "$n" = 1 ] || fail "\"$caption\": a species opens on its first picture"
    [ "$m" = "${pictures[$name]}" ] || fail "\"$caption\": the catalogue gives $name ${pictures[$name]} pictures"
    if [ -e "$APP/picture/$name.txt" ]; then
      gui_wait_window "^$name\$" 10 >/dev/null || fail "no memo window for $name, which has a memo"
    else
      gui_wait_no_window "^$name\$" 10 || fail "a memo window for $name, which has no memo"
    fi
    visited+=("$name")
    [ ${#visited[@]} -le "$expected" ] || fail "after $expected species the viewer is not back at $first"

    if [ $stepped = no ] && [ "$m" -ge 2 ]; then
      [ -n "$NEXT_PICTURE" ] || find_viewer_buttons
      [ -n "$NEXT_PICTURE" ] || fail "\"次画像\" is not enabled for $name with $m pictures"
      local k want
      for ((k = 2; k <= m + 1; k++)); do
        want=$(((k - 1) % m + 1))
        # shellcheck disable=SC2086
        gui_click $NEXT_PICTURE
        caption=$(gui_wait_name_change "$VIEWER" "$caption" 15) || fail "\"次画像\" did not change \"$caption\""
        [ "$caption" = "$name [$want/$m]" ] || fail "\"次画像\" gave \"$caption\", not \"$name [$want/$m]\""
        if [ "$k" = 2 ]; then
          gui_park_pointer
          sleep 0.3
          shot "next-picture-$label"
        fi
      done
      stepped=yes
    fi

    # shellcheck disable=SC2086
    gui_click $NEXT_KIND
    caption=$(gui_wait_name_change "$VIEWER" "$caption" 15) || {
      no_message_window "after \"次の種類\""
      fail "\"次の種類\" did not change \"$caption\""
    }
    [ "${caption% \[*}" = "$first" ] && break
  done
  no_message_window "after visiting the species"
  [ $stepped = yes ] || gui_log "note: no species with two or more pictures in this search"

  local got want_list
  got=$(printf '%s\n' "${visited[@]}" | sort)
  want_list=$(printf '%s\n' "${!pictures[@]}" | sort)
  if [ "$got" != "$want_list" ]; then
    diff <(echo "$want_list") <(echo "$got") | sed 's/^/  /' >&2
    fail "the species found for $* differ from the catalogue (< catalogue, > program)"
  fi
  gui_log "$label: ${#visited[@]} species as the catalogue says: $(tr '\n' ' ' <<<"$got")"
}

search_and_open summer "$PAD_SUMMER"
visit_all summer season=夏
shot "viewer-back-summer"

search_and_open autumn-blue "$PAD_AUTUMN" "$PAD_BLUE"
visit_all autumn-blue season=秋 colour=青

# Moved by hand: the settings file must keep where the viewer now is.
xdo windowmove "$VIEWER" "$MOVED_X" "$MOVED_Y"
gui_wait_position "$VIEWER" "$MOVED_X" "$MOVED_Y" 10 || fail "the viewer did not move"
sleep 0.3
shot viewer-moved

# shellcheck disable=SC2086
gui_click $EXIT_BUTTON
exit_clicked=$(gui_now)
gui_wait_exit 30 || fail "the program did not end within 30 s of \"終了\""
gui_log "the program ended $((($(gui_now) - exit_clicked) / 1000)) ms after \"終了\", status $PROG_RC"
[ "$PROG_RC" = 0 ] || fail "the program ended with status $PROG_RC"
if grep -nE 'QFATAL|QCRITICAL|Segmentation fault|Aborted|core dumped|terminate called|AddressSanitizer|runtime error:' "$LOG" >&2; then
  fail "fatal output from the program (above)"
fi

INI="$APP/tolvarin.ini"
[ -f "$INI" ] || fail "no settings file after the end"
cp "$INI" "$OUT/tolvarin.ini"
ini_value() { # section key
  tr -d '\r' <"$INI" | awk -v s="$1" -v k="$2" '
    /^\[/ { sec = substr($0, 2, index($0, "]") - 2); next }
    tolower(sec) == tolower(s) && index($0, "=") && tolower(substr($0, 1, index($0, "=") - 1)) == tolower(k) {
      print substr($0, index($0, "=") + 1); exit
    }'
}
expect_ini() { # section key value
  local got
  got=$(ini_value "$1" "$2")
  [ "$got" = "$3" ] || fail "settings file: [$1] $2=$got, expected $3"
}
grep -q '^\[Window\]' "$INI" || fail "settings file without [Window]"
expect_ini Window Left "$MAIN_X"
expect_ini Window Top "$MAIN_Y"
expect_ini Window Width "$MAIN_W"
expect_ini Window Height "$MAIN_H"
expect_ini Search Left "$PAD_X"
expect_ini Search Top "$PAD_Y"
expect_ini List Left "$LIST_X"
expect_ini List Top "$LIST_Y"
expect_ini Image Left "$MOVED_X"
expect_ini Image Top "$MOVED_Y"
# Not in the file at the start: the folders the program used.
expect_ini Dir HddDir "$APP/picture/"

gui_log "passed in $((SECONDS - started)) s; pictures in $OUT"
