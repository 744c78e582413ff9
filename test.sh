#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any
# failure. On a Debian 12 machine it first installs what is missing.
#
#   1. Release build with warnings as errors, every test (window tests on
#      Qt's offscreen platform); then ./run.sh, without and with a display.
#   2. The same suite again under AddressSanitizer and
#      UndefinedBehaviorSanitizer.
#   3. The Windows build (mingw-w64), its tests under Wine, the examples
#      against the Linux build, and its ZIP archive.
#   4. A short run of each fuzz target.
#   5. clang-format, clang-tidy and cppcheck (./check.sh), the Windows
#      sources included.
#   6. The Debian package.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${ENGINE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}" "${REPORT_PACKAGES[@]}" \
  "${CHECK_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

jobs=$(nproc)
# Each step's heading, and how long the one before it took.
SECONDS=0
step_start=0
step() {
  [ "$step_start" -eq 0 ] || printf '(%d s)\n' $((SECONDS - step_start))
  step_start=$((SECONDS > 0 ? SECONDS : 1))
  printf '\n== %s\n' "$*"
}
trap '[ $? -eq 0 ] && printf "(%d s)\n\n./test.sh: all passed in %d s\n" $((SECONDS - step_start)) "$SECONDS"' EXIT

step "Release build and tests"
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs"

step "./run.sh, without a display and with one"
# The front door: the examples converted, then the window started (and
# still open when it is told to stop) in the scratch folder of examples.
run_scratch=$(mktemp -d)
env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR="$run_scratch" ./run.sh >/dev/null
run_status=0
TMPDIR="$run_scratch" DISPLAY=:none QT_QPA_PLATFORM=offscreen timeout 5 ./run.sh >/dev/null ||
  run_status=$?
rm -rf "$run_scratch"
[ "$run_status" -eq 124 ] || { echo "./run.sh: the window did not start (status $run_status)" >&2; exit 1; }

step "Sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

step "Windows build, tests under Wine, ZIP archive"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
ctest --preset windows -j"$jobs"
scripts/check-windows-zip.sh

step "Fuzz smoke run"
scripts/fuzz.sh --smoke

step "Static analysis and formatting"
./check.sh

step "Debian package"
scripts/check-package.sh
