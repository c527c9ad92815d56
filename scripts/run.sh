#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tallyport against the device-service
# simulator: a local mosquitto on 127.0.0.1 (started when none listens), a demo
# configuration with a serial number, the simulator and the UI. Ctrl-C stops
# everything this script started.
#
# On a desktop the window shows. Without a display the UI runs under Xvfb and a
# screenshot of every screen it reaches is written to build/demo/screenshots/.
#
# Type simulator commands (help, valid, deny 207, retry, ignition off, degraded,
# maintenance, ...) at the prompt; without a terminal the scripted flow runs alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
port="${TALLYPORT_PORT:-1883}"

bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"

demo="$build/demo"
shots="$demo/screenshots"
mkdir -p "$demo" "$shots"
pids=()
cleanup() {
    trap - EXIT INT TERM
    for pid in "${pids[@]}"; do
        pkill -TERM -P "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

if listening "$port"; then
    echo "run: using the broker already listening on 127.0.0.1:$port"
else
    printf 'listener %s 127.0.0.1\nallow_anonymous true\nset_tcp_nodelay true\n' "$port" > "$demo/mosquitto.conf"
    mosquitto -c "$demo/mosquitto.conf" > "$demo/mosquitto.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do listening "$port" && break; sleep 0.1; done
    echo "run: started mosquitto on 127.0.0.1:$port"
fi

# A demo device: a serial number (so the scan screens show) and a configuration
# pointing at the local broker. The file is kept between runs, edits included.
[ -s "$demo/serialnumber" ] || echo "K20260417" > "$demo/serialnumber"
if [ ! -f "$demo/gui.conf" ]; then
    cat > "$demo/gui.conf" <<CONF
[gui]
deviceId=$demo/serialnumber

[mqtt]
host=127.0.0.1
port=$port
CONF
fi

# The device's time-zone tool needs systemd; where it cannot answer, the stand-in does.
if ! timedatectl status >/dev/null 2>&1; then
    export PATH="$root/tools/stand-ins/bin:$PATH"
    # The zone chosen on the Region page is the one reported from then on.
    export TIMEDATECTL_STANDIN_STATE="$demo/timezone"
fi
export QML2_IMPORT_PATH="$root/tools/stand-ins/qml${QML2_IMPORT_PATH:+:$QML2_IMPORT_PATH}"

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    headless=1
    for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 480x800x24 -nolisten tcp > "$demo/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    echo "run: no display here; the UI runs on Xvfb $DISPLAY"
    echo "run: screenshots of every screen reached go to $shots"
fi

(cd "$demo" && exec "$build/src/tallyport" -e -f "$demo/gui.conf" > "$demo/tallyport.log" 2>&1) &
pids+=($!)
echo "run: UI log in $demo/tallyport.log"

if [ "$headless" = 1 ]; then
    # One picture per screen change, taken once the screen has settled.
    (
        count=0
        tail -n +1 -F "$demo/tallyport.log" 2>/dev/null | while IFS= read -r line; do
            case "$line" in
            *"Setting screen : "*)
                name="${line##*Setting screen : }"; name="${name%% *}"
                sleep 0.8
                count=$((count + 1))
                import -display "$DISPLAY" -window root "$shots/$(printf %03d $count)-$name.png" 2>/dev/null || true
                ;;
            esac
        done
    ) &
    pids+=($!)
fi

# Typed commands reach the simulator through the script's own input; waiting in
# the shell (not in the foreground) lets a TERM to this script still clean up.
"$build/tools/simulator/tallyport-sim" --port "$port" "$@" <&0 &
sim=$!
pids+=("$sim")
wait "$sim"
