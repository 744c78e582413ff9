#!/usr/bin/env bash
# Static analysis and formatting: clang-format (no diff allowed),
# clang-tidy (.clang-tidy, every finding an error) and cppcheck, over the
# project's own sources. Needs the compile commands of a configured build
# (./test.sh makes one; so does `cmake --preset dev`). Exits non-zero on any
# finding.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages clang-format clang-tidy cppcheck

build=build
[ -f "$build/compile_commands.json" ] || cmake --preset dev >/dev/null
# Generated sources (moc, resources) must exist before they are analysed.
cmake --build "$build" -j"$(nproc)" >/dev/null

sources=(core conversion report cli screen window fuzz bench tests)
# clang-tidy reads the program's own sources and the tests' shared support.
# The test programs themselves are half of its time and hold no code that
# ships; they are compiled with every warning as an error and read by
# cppcheck. `./check.sh --all` takes them into clang-tidy too.
tidy_sources=(core conversion report cli screen window fuzz bench tests/support)
tidy_windows_tests=""
if [ "${1:-}" = --all ]; then
  tidy_sources=("${sources[@]}")
  tidy_windows_tests="|$PWD/tests/windows/.*\.cpp$"
fi
status=0

echo "clang-format"
if ! git ls-files -- "${sources[@]/%//*.cpp}" "${sources[@]/%//*.h}" |
    xargs clang-format --dry-run --Werror; then
  echo "clang-format: run 'clang-format -i' on the files above" >&2
  status=1
fi

echo "clang-tidy"
if ! run-clang-tidy-14 -p "$build" -quiet -j "$(nproc)" \
    -extra-arg=-Wno-unknown-warning-option \
    "$PWD/($(IFS='|'; echo "${tidy_sources[*]}"))/.*\.cpp$" >"$build/clang-tidy.log" 2>&1; then
  grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u >&2 || cat "$build/clang-tidy.log" >&2
  status=1
fi

# The sources only the Windows build compiles, with its compile commands
# (the windows preset, which ./test.sh configures first): clang-tidy for
# mingw-w64's target, with its C++ library.
if [ -f build-windows/compile_commands.json ]; then
  echo "clang-tidy (Windows sources)"
  mingw_cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -1)
  if ! run-clang-tidy-14 -p build-windows -quiet -j "$(nproc)" \
      -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-Wno-unknown-warning-option \
      -extra-arg=-isystem"$mingw_cxx" -extra-arg=-isystem"$mingw_cxx/x86_64-w64-mingw32" \
      "$PWD/(core|conversion|report|cli|screen)/.*(_windows|win32_file|wide_text)\.cpp\$|$PWD/window/win32/.*\.cpp\$$tidy_windows_tests" \
      >build-windows/clang-tidy.log 2>&1; then
    grep -E 'warning:|error:' build-windows/clang-tidy.log | sort -u >&2 || cat build-windows/clang-tidy.log >&2
    status=1
  fi
fi

echo "cppcheck"
if ! cppcheck --project="$build/compile_commands.json" --std=c++20 -q -j "$(nproc)" \
    --library=googletest --library=qt --library=posix \
    --enable=warning,performance,portability --error-exitcode=1 --inline-suppr \
    --suppress=missingIncludeSystem --suppress=preprocessorErrorDirective \
    -i build -i build-asan -i build-fuzz; then
  status=1
fi

[ "$status" -eq 0 ] && echo "check: clean"
exit "$status"
