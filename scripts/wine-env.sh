# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own, made
# once, and a display (Xvfb when there is none).
export WINEPREFIX="${VESK_WINEPREFIX:-$HOME/.cache/vesk-cpl/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

vesk_start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    return 0
  fi
  local num=${VESK_XVFB_DISPLAY:-77}
  export DISPLAY=":$num"
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 1 100); do
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
}

vesk_make_wineprefix() {
  if [ ! -f "$WINEPREFIX/.vesk-ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.vesk-ready"
  fi
}
