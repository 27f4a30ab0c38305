#!/usr/bin/env bash
# Starts the built program. Without a display it runs in simulation mode on Qt's offscreen
# platform, with a local test port to drive it, until Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/default/src/helmvantor

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

state=${XDG_STATE_HOME:-$HOME/.local/state}
case "$state" in /*) ;; *) state=$HOME/.local/state ;; esac
log=$state/Pivmor/pivmor.log
before=$( [ -f "$log" ] && wc -l <"$log" || echo 0 )

QT_QPA_PLATFORM=offscreen "$program" --test-port 0 --no-camera "$@" &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null || true' INT TERM

port=""
for _ in $(seq 100); do
    port=$(tail -n "+$((before + 1))" "$log" 2>/dev/null | sed -n 's/.* test port \([0-9]*\)$/\1/p' | tail -1)
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done

cat <<INFO
No display found: Helmvantor runs in simulation mode (offscreen, no camera), pid $pid.
  log:       $log
  test port: 127.0.0.1:${port:-?}   e.g.  python3 -c 'import socket; s=socket.create_connection(("127.0.0.1", ${port:-0})); s.sendall(b"status\n"); print(s.recv(4096).decode(), end="")'
Stop it with Ctrl-C, or from elsewhere: kill $pid
INFO
wait "$pid" || true
wait "$pid" 2>/dev/null || true
