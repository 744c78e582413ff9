# Sourced by run.sh and scripts/screenshot.sh: installs what a build needs,
# configures the Release build in build/ (the dev preset) and builds the
# targets named in $@. Leaves the build folder's absolute path in $bin.
source "$(dirname "${BASH_SOURCE[0]}")/ensure-packages.sh"

build_targets() {
  ensure_packages "${ENGINE_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}"
  # The same configuration as ./test.sh's first build, so neither script
  # makes the other rebuild everything.
  cmake --preset dev >/dev/null
  cmake --build build -j"$(nproc)" --target "$@" >/dev/null
  bin=$PWD/build
}
