#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any
# failure. Installs what is missing on a Debian 12 machine first.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${ENGINE_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}"

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIZ_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
