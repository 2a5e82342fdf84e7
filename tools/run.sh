#!/usr/bin/env bash
# Installs what is missing, builds Quillroll and starts it from its run directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
run=build/run
if [ ! -x "$run/quillroll" ]; then
  echo "Quillroll: the run directory is ready in $run, but the window is not built yet."
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Quillroll needs a graphical desktop: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  exit 1
fi
cd "$run"
exec ./quillroll
