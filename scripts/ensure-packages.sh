# Sourced by run.sh and test.sh: installs the Debian packages named in
# $@ that are missing, with apt-get as root or through sudo. Quick when
# everything is already there (one dpkg-query, no apt-get).
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null | grep -qx installed; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}" >&2
      echo "Install them as root: apt-get install ${missing[*]}" >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2; then
    # A fresh machine may have no package lists yet.
    "${sudo[@]}" apt-get update >&2
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
  fi
}

# What every build of the engine needs.
ENGINE_PACKAGES=(cmake ninja-build g++ make libgtest-dev)

# What the window (zizadod5) and its tests add: Qt 6 Widgets and Qt Test
# (with the offscreen platform the tests run on), and fonts metric-compatible
# with the window's standard fonts.
WINDOW_PACKAGES=(qt6-base-dev fonts-liberation)
# The window under a real X server and window manager, read over AT-SPI
# (scripts/window-under-x.sh).
WINDOW_PACKAGES+=(xvfb openbox xdotool at-spi2-core python3-pyatspi dbus-daemon)

# What the tests themselves use: mkfs.ext2, for the in-place write on a
# file system without fallocate (an ext2 image on a loop device).
TEST_PACKAGES=(e2fsprogs)

# The report's page in a real browser (scripts/report-page-in-browser.sh).
REPORT_PACKAGES=(chromium)

# Fuzzing (clang and its libFuzzer runtime) and static analysis.
CHECK_PACKAGES=(clang libclang-rt-14-dev clang-tidy clang-format cppcheck)

# The Windows build: the mingw-w64 cross compiler, Wine to run its tests,
# GoogleTest's sources to build for Windows, icotool for the window's icon,
# and an X server with a window manager (and xdotool, xprop) for the
# window's tests under Wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 googletest icoutils xvfb openbox xdotool
  x11-utils)

# Building and checking the Debian package.
PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils appstream man-db)
