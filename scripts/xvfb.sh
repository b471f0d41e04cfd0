# Sourced: start_xvfb starts an Xvfb server on a free display (VEXA_XVFB_SCREEN,
# 1280x1024x24 unless set) and exports DISPLAY;
# stop_xvfb stops that server (by its PID) and Wine's services of our prefixes.
start_xvfb() {
    local n=${VEXA_DISPLAY_FROM:-91}
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${VEXA_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    VEXA_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

stop_xvfb() {
    local prefix
    for prefix in "${root:-.}"/build/*/wineprefix; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    done
    [ -n "${VEXA_XVFB_PID:-}" ] && kill "$VEXA_XVFB_PID" 2>/dev/null && wait "$VEXA_XVFB_PID" 2>/dev/null
    return 0
}
