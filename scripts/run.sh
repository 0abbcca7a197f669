#!/usr/bin/env bash
# Installs what is missing, builds Tavrolo and starts it; arguments go to the program
# (the first one may name a plan file to open).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVROLO_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a "$root/build/tavrolo" "$@"
fi
exec "$root/build/tavrolo" "$@"
