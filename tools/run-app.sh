#!/usr/bin/env bash
# Starts the application, or says in one line why it cannot be shown here.
set -euo pipefail
app=$1
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): run it under a virtual one with 'xvfb-run -a make run'." >&2
    exit 1
fi
exec "$app"
