# Sourced by the other scripts: start_xvfb WIDTHxHEIGHT [wm] starts an X
# server on a free display (and openbox when asked), exports DISPLAY and
# stops both when the calling script exits.
start_xvfb() {
  local size="$1" wm="${2:-}" fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp >"$fdfile" 2>/dev/null &
  ZE_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  trap 'kill ${ZE_WM_PID:-} $ZE_XVFB_PID 2>/dev/null || true' EXIT
  if [ "$wm" = wm ]; then
    openbox >/dev/null 2>&1 &
    ZE_WM_PID=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
      sleep 0.1
    done
  fi
}
