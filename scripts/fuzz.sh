#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one.
#
#   scripts/fuzz.sh --smoke     a short, fixed number of executions per target
#   scripts/fuzz.sh SECONDS     each target for SECONDS (default 300), keeping
#                               what it finds in build-fuzz/corpus/<target>
#
# Prints, per target, the number of executions it ran clean. A failing
# check or a sanitizer report stops the script with the crashing input
# saved in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${ENGINE_PACKAGES[@]}" clang libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

# Executions per target for the smoke run, which shows that the targets
# build and run (their seed corpora are replayed by every test build): the
# whole-run target writes and flushes a CSV per execution and is the
# slowest.
declare -A smoke_runs=([decode_record]=100000 [count_value]=100000 [run_conversion]=5000)

# The whole-run target's files go to memory where it can: a flush to disk
# per execution would be most of its time.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

mode=${1:-300}
for target in decode_record count_value run_conversion; do
  if [ "$mode" = "--smoke" ]; then
    corpus=$(mktemp -d)
    limit=(-runs="${smoke_runs[$target]}")
  else
    corpus=$PWD/build-fuzz/corpus/$target
    mkdir -p "$corpus"
    limit=(-max_total_time="$mode")
  fi
  log=build-fuzz/fuzz_$target.log
  # The first folder collects new inputs; the checked-in seeds are read only.
  if ! (cd build-fuzz && ./fuzz/fuzz_$target "${limit[@]}" -print_final_stats=1 \
          "$corpus" "$OLDPWD/fuzz/corpus/$target") >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "fuzz_$target: FAILED (see $log)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
  echo "fuzz_$target: $runs executions clean in ${secs:-?} s"
  if [ "$mode" = "--smoke" ]; then rm -rf "$corpus"; fi
done
