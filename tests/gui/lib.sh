# Shared functions for driving the real program in a virtual X display.
# Sourced by tests/gui/real-window.sh and scripts/screenshots.sh.
#
# There is no window manager on the display, so windows have no frames and
# sit exactly where the program puts them; the settings file written before
# the start decides where that is. Every wait is bounded.
#
# shellcheck disable=SC2034  # WX WY WW WH and PROG_RC are read by the callers

GUI_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
GUI_TOOL="$GUI_DIR/guitool.py"

# Names of visible windows are matched as regular expressions, byte by byte.
export LC_ALL=C.UTF-8

XVFB_PID=""
PROG_PID=""
PROG_RC=""

gui_log() { printf '[%s] %s\n' "$(date +%T)" "$*"; }
gui_fail() {
  gui_log "FAILED: $*" >&2
  exit 1
}

gui_require() {
  local c
  for c in Xvfb xdotool import convert python3 timeout; do
    command -v "$c" >/dev/null || gui_fail "$c is not installed (scripts/install-deps.sh installs it)"
  done
}

# Microseconds since the epoch; waits run against a deadline so that slow
# polling on a busy machine does not stretch them.
gui_now() { echo "${EPOCHREALTIME/./}"; }
gui_deadline() { echo $(($(gui_now) + $1 * 1000000)); }
gui_before() { [ "$(gui_now)" -lt "$1" ]; }

# xdotool with a bound, so a stuck display cannot hang the run.
xdo() { timeout 15 xdotool "$@"; }

# Starts Xvfb (WIDTHxHEIGHT) on a free display number and exports DISPLAY.
# Xvfb reports the number on the descriptor given by -displayfd once it
# accepts clients; if the number is taken it exits, and the next is tried.
gui_start_display() {
  local size="$1" work="$2" n first tries
  first=$((100 + RANDOM % 400))
  for tries in $(seq 0 40); do
    n=$((first + tries))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    : >"$work/display"
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset -displayfd 3 \
      3>"$work/display" >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local end
    end=$(gui_deadline 20)
    while gui_before "$end"; do
      if [ -s "$work/display" ]; then
        export DISPLAY=":$n"
        gui_log "Xvfb on $DISPLAY ($size)"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  gui_fail "could not start Xvfb (see $work/xvfb.log)"
}

# Copies what the program needs beside it into `dest`: the executable, the
# catalogue folder, the placeholder picture and the help file.
gui_copy_program() {
  local build="$1" dest="$2" f
  mkdir -p "$dest"
  cp "$build/tolvarin" "$dest/"
  cp -r "$build/picture" "$dest/"
  for f in NoImage.jpg tolvarin.hlp; do
    [ -e "$build/$f" ] && cp "$build/$f" "$dest/"
  done
  return 0
}

# Starts the program in `dir` with its output in `log`. The Qt settings that
# would change sizes or the style are cleared; fatal and critical messages
# are marked so they can be found in the output.
gui_start_program() {
  local dir="$1" log="$2"
  mkdir -p "$dir/.runtime" && chmod 700 "$dir/.runtime"
  (
    cd "$dir" || exit 1
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
      QT_FONT_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_DEBUG_PLUGINS QT_LOGGING_RULES
    export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$dir/.runtime" XDG_CONFIG_HOME="$dir/.config" XDG_CACHE_HOME="$dir/.cache" \
      QT_MESSAGE_PATTERN='Q%{if-fatal}FATAL%{endif}%{if-critical}CRITICAL%{endif}%{if-warning}WARNING%{endif}%{if-info}INFO%{endif}%{if-debug}DEBUG%{endif}: %{message}'
    exec ./tolvarin
  ) >"$log" 2>&1 &
  PROG_PID=$!
  PROG_RC=""
}

gui_program_running() { [ -n "$PROG_PID" ] && kill -0 "$PROG_PID" 2>/dev/null; }

# Waits up to `secs` seconds for the program to end; PROG_RC gets its exit
# status. Returns 1 if it is still running.
gui_wait_exit() {
  local end
  end=$(gui_deadline "$1")
  while gui_before "$end"; do
    if ! gui_program_running; then
      wait "$PROG_PID"
      PROG_RC=$?
      PROG_PID=""
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Ends the program (if still running) and the display.
gui_cleanup() {
  local pid
  for pid in "$PROG_PID" "$XVFB_PID"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || continue
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  PROG_PID=""
  XVFB_PID=""
}

# The visible windows whose name matches `regex`, one id a line.
gui_find() { xdo search --onlyvisible --name "$1" 2>/dev/null; }

# Prints the id of the first visible window whose name matches `regex`,
# waiting up to `secs` seconds for it. Fails when the program ends first.
gui_wait_window() {
  local regex="$1" end id
  end=$(gui_deadline "$2")
  while gui_before "$end"; do
    id=$(gui_find "$regex" | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    gui_program_running || return 1
    sleep 0.1
  done
  return 1
}

# Waits until no visible window's name matches `regex`.
gui_wait_no_window() {
  local regex="$1" end
  end=$(gui_deadline "$2")
  while gui_before "$end"; do
    [ -z "$(gui_find "$regex")" ] && return 0
    sleep 0.1
  done
  return 1
}

# Sets WX WY WW WH to the window's position and size.
gui_geometry() {
  local out
  out=$(xdo getwindowgeometry --shell "$1") || return 1
  WX=$(sed -n 's/^X=//p' <<<"$out")
  WY=$(sed -n 's/^Y=//p' <<<"$out")
  WW=$(sed -n 's/^WIDTH=//p' <<<"$out")
  WH=$(sed -n 's/^HEIGHT=//p' <<<"$out")
}

# Waits until the window stands at x y (a window may be moved right after
# it is shown).
gui_wait_position() {
  local id="$1" x="$2" y="$3" end
  end=$(gui_deadline "$4")
  while gui_before "$end"; do
    gui_geometry "$id" && [ "$WX" = "$x" ] && [ "$WY" = "$y" ] && return 0
    sleep 0.1
  done
  return 1
}

gui_name() { xdo getwindowname "$1"; }

# Waits until the window's name is no longer `old`; prints the new name.
gui_wait_name_change() {
  local id="$1" old="$2" end name
  end=$(gui_deadline "$3")
  while gui_before "$end"; do
    name=$(gui_name "$id") || return 1
    if [ "$name" != "$old" ]; then
      echo "$name"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Pointer moves and clicks go to the server in order, so a click needs no
# wait for the move before it. (mousemove --sync would wait for ever when
# the pointer is already there.)
gui_click() { xdo mousemove "$1" "$2" click 1; }
gui_double_click() { xdo mousemove "$1" "$2" click --repeat 2 --delay 60 1; }

# Pointer out of the way (no hover highlight or tool tip in pictures).
gui_park_pointer() { xdo mousemove 0 "$(($(xdo getdisplaygeometry | cut -d' ' -f2) - 1))"; }

# Prints "x y" screen positions of the enabled tool buttons of a window,
# left to right (see guitool.py).
gui_tool_buttons() {
  local id="$1" work="$2"
  gui_park_pointer
  sleep 0.3
  import -window "$id" "$work/toolbar.png" || return 1
  gui_geometry "$id" || return 1
  python3 "$GUI_TOOL" icons "$work/toolbar.png" | while read -r x y; do
    echo "$((WX + x)) $((WY + y))"
  done
}

# A picture of the whole screen.
gui_shot() {
  import -window root "$1" || gui_fail "screenshot $1"
}
