# Sourced by run.sh and scripts/screenshot.sh: installs what a build needs,
# configures a Release build in $BUILD_DIR (default: build) and builds the
# targets named in $@. Leaves the build folder's absolute path in $bin.
source "$(dirname "${BASH_SOURCE[0]}")/ensure-packages.sh"

build_targets() {
  ensure_packages "${ENGINE_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}"
  local build=${BUILD_DIR:-build}
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
  case $build in
    /*) bin=$build ;;
    *) bin=$PWD/$build ;;
  esac
}
