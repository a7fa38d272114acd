# Helpers for scripts that drive a program under Xvfb with xdotool; sourced, not
# run. They read $timeout: the seconds any one step may take.

# Runs the command until it succeeds, for at most $1 seconds.
within() {
  local seconds=$1
  shift
  for _ in $(seq 1 $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Starts Xvfb (with any further options given) on a display number it picks
# itself, its files under the folder $1; sets xvfb_pid and exports DISPLAY.
start_xvfb() {
  local work=$1
  shift
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  within "$timeout" test -s "$work/display" || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; return 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
}

# The newest visible window whose title is exactly $1; waits for it.
window() {
  local ids
  ids=$(timeout "$timeout" xdotool search --sync --onlyvisible --name "^$1\$") || {
    echo "no window \"$1\" appeared" >&2
    return 1
  }
  echo "$ids" | tail -n1
}

# Whether the process $1 has ended.
ended() { ! kill -0 "$1" 2>/dev/null; }
