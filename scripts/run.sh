#!/usr/bin/env bash
# Starts the built program and stays with it: Ctrl-C, or the end of this script however it
# comes, stops the program too. Without a display it runs in simulation mode on Qt's offscreen
# platform, with a local test port to drive it. HELMVANTOR_PROGRAM names another build.
set -uo pipefail # no -e: a line the log does not hold yet is no failure
cd "$(dirname "$0")/.."
program=${HELMVANTOR_PROGRAM:-build/default/src/helmvantor}
if [ ! -x "$program" ]; then
    echo "No program at $program: build it first (make build)." >&2
    exit 1
fi

state=${XDG_STATE_HOME:-}
case "$state" in /*) ;; *) state=$HOME/.local/state ;; esac
log=$state/Pivmor/pivmor.log
seen=0
if [ -f "$log" ]; then
    seen=$(wc -l <"$log")
fi

if [ -n "${DISPLAY:-}" ]; then
    simulation=false
    "$program" "$@" &
else
    simulation=true
    QT_QPA_PLATFORM=offscreen "$program" --test-port 0 --no-camera "$@" &
fi
pid=$!

stop() {
    trap - INT TERM EXIT
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
}
trap 'stop; exit 130' INT
trap 'stop; exit 143' TERM
trap stop EXIT

# This run's lines of the log, which may not exist yet.
since() {
    if [ -f "$log" ]; then
        tail -n "+$((seen + 1))" "$log"
    fi
}

hub=""
port=""
for _ in $(seq 150); do
    hub=$(since | grep -E ' listener (ready|failed) on port ' | tail -n 1)
    if $simulation; then
        port=$(since | sed -n 's/.* test port \([0-9][0-9]*\)$/\1/p' | tail -n 1)
    fi
    if [ -n "$hub" ] && { ! $simulation || [ -n "$port" ]; }; then
        break
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        status=$?
        trap - INT TERM EXIT
        # Status 0: a copy already ran on this display and was shown; the program said so.
        if [ "$status" -ne 0 ]; then
            echo "Helmvantor ended at once (status $status). The log says why: $log"
        fi
        exit "$status"
    fi
    sleep 0.1
done

if $simulation; then
    cat <<INFO
No display found: Helmvantor runs in simulation mode (offscreen, no camera), pid $pid.
  log:       $log
  test port: 127.0.0.1:${port:-?}   e.g.  python3 -c 'import socket; s=socket.create_connection(("127.0.0.1", ${port:-0})); s.sendall(b"status\n"); print(s.recv(4096).decode(), end="")'
INFO
else
    cat <<INFO
Helmvantor runs on display $DISPLAY, pid $pid: its menu opens from its tray icon (without a
tray, from a click on the status box in the lower right corner).
  log:       $log
INFO
fi
case "$hub" in
*" listener failed on port "*)
    taken=$(printf '%s\n' "$hub" | sed -n 's/.* listener failed on port \([0-9]*\).*/\1/p')
    others=$(pgrep -u "$(id -u)" -x helmvantor 2>/dev/null | grep -vx "$pid" | tr '\n' ' ')
    if [ -n "$others" ]; then
        echo "The hub's port $taken is taken by another copy of Helmvantor (pid ${others% }): PCs" \
            "can't reach this one. Stop that copy first."
    else
        echo "The hub's port $taken is taken by another program: PCs can't reach Helmvantor."
    fi
    ;;
esac
echo "Stop it with Ctrl-C."

wait "$pid"
status=$?
trap - INT TERM EXIT
exit "$status"
