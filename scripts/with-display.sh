#!/usr/bin/env bash
# Runs a command with an X display: the caller's own, or a private Xvfb (never
# resetting between clients, so tests that reconnect always find it) that is
# stopped again when the command ends.
set -euo pipefail

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi

xvfb_pid=
stop_xvfb() {
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap stop_xvfb EXIT

# A number is taken while the server named in its lock runs; a lock whose server
# died (killed, machine reset), or a socket left without a lock, is taken over by
# the next server.
display_taken() {
    local lock=/tmp/.X$1-lock owner
    [[ -e $lock ]] || return 1
    owner=$(tr -dc '0-9' <"$lock" 2>/dev/null || true)
    [[ -n $owner ]] && kill -0 "$owner" 2>/dev/null
}

# Take the first display number whose server really comes up.
for number in $(seq 90 140); do
    display_taken "$number" && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$number"
        break
    fi
    stop_xvfb
    xvfb_pid=
done
[[ -n "$xvfb_pid" ]] || { echo "no virtual display could be started" >&2; exit 1; }
"$@"
