#!/usr/bin/env bash
# dta2csv against the I/O floor and a plain gawk conversion, side by side
# in one hyperfine run, on the 32767-record day of bench_conversion (log to
# /dev/null, earlier CSV present). Prints hyperfine's table and the two
# ratios. A benchmark, not a test: it measures and asserts nothing.
#
#   bench/compare.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
ensure_packages hyperfine gawk
build_targets dta2csv io_floor bench_conversion
runs=${1:-100}
export LC_ALL=C

work=$(mktemp -d "${TMPDIR:-/tmp}/ziz-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bin/bench/bench_conversion" --runs 1 --long-line-mib 0 --keep "$work" >/dev/null
input=$work/MOV32767.DAT
csv=$work/MOV32767.CSV
log_bytes=$("$bin/cli/dta2csv" "$input" | wc -c)
csv_bytes=$(stat -c %s "$csv")
echo "input $(stat -c %s "$input") bytes; CSV $csv_bytes bytes; log $log_bytes bytes"

hyperfine -N --warmup 5 --runs "$runs" --export-csv "$work/times.csv" \
  -n dta2csv "$bin/cli/dta2csv $input" \
  -n "I/O floor" "$bin/bench/io_floor $input $csv $csv_bytes $log_bytes" \
  -n "I/O floor without flush" "$bin/bench/io_floor $input $csv $csv_bytes $log_bytes --no-flush" \
  -n gawk "gawk -v csv=$csv -f bench/dta2csv.awk $input"

# command,mean,stddev,median,user,system,min,max (seconds)
awk -F, 'NR > 1 { median[$1] = $4 }
  END {
    printf "\nmedians: dta2csv %.2f ms, I/O floor %.2f ms (without flush %.2f ms), gawk %.2f ms\n",
      median["dta2csv"] * 1e3, median["I/O floor"] * 1e3, median["I/O floor without flush"] * 1e3,
      median["gawk"] * 1e3
    printf "dta2csv / I/O floor: %.2fx   gawk / dta2csv: %.1fx\n",
      median["dta2csv"] / median["I/O floor"], median["gawk"] / median["dta2csv"]
  }' "$work/times.csv"
