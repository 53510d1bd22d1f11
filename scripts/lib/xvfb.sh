# Sourced by the scripts that need a display (run-under-xvfb.sh, run-linux.sh,
# bench-linux.sh, test-windows.sh): a private Xvfb server and the settings
# WebKitGTK needs to draw in it as root, without GPU or desktop bus.

export WEBKIT_DISABLE_COMPOSITING_MODE=1 WEBKIT_DISABLE_DMABUF_RENDERER=1
export LIBGL_ALWAYS_SOFTWARE=1 GSETTINGS_BACKEND=memory GTK_IM_MODULE=none NO_AT_BRIDGE=1

xvfb_pid=""

# Starts Xvfb on the first free display from :90 and exports DISPLAY; its
# screen is XVFB_SCREEN (width x height x depth), 1280x800x24 unless set.
start_xvfb() {
    command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; return 1; }
    local n
    for n in $(seq 90 130); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        local i
        for i in $(seq 1 100); do
            if [[ -S /tmp/.X11-unix/X$n ]]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    return 1
}

stop_xvfb() {
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
