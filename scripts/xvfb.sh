# Sourced by the other scripts: start_xvfb WIDTHxHEIGHT [wm] [DISPLAY_NUMBER]
# starts an X server (on a free display unless a number is given), waits
# until it answers, starts openbox when asked and waits until it manages the
# screen, and exports DISPLAY. Both are stopped when the calling script
# exits; a script with its own clean-up defines ze_on_exit, which runs first.
start_xvfb() {
  local size="$1" wm="${2:-}" number="${3:-}" fdfile
  if [ -n "$number" ]; then
    Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    ZE_XVFB_PID=$!
    export DISPLAY=":$number"
  else
    fdfile="$(mktemp)"
    Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp >"$fdfile" 2>/dev/null &
    ZE_XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi
  trap '[ "$(type -t ze_on_exit)" = function ] && ze_on_exit; kill ${ZE_WM_PID:-} $ZE_XVFB_PID 2>/dev/null || true' EXIT
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  if [ "$wm" = wm ]; then
    openbox >/dev/null 2>&1 &
    ZE_WM_PID=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
      sleep 0.1
    done
  fi
}
