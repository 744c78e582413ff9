#!/usr/bin/env bash
# dta2csv --report beside only reading the same files, side by side in one
# hyperfine run per archive: read_folder (a plain C reader, the floor) and
# cat, over bench_report's archives of 365 day files of 2000 records and of
# 10 000 day files of 200 records. Prints hyperfine's tables and the
# ratios of the medians. A benchmark, not a test: it asserts nothing.
#
#   bench/report_compare.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
ensure_packages hyperfine
build_targets dta2csv read_folder bench_report
runs=${1:-20}
export LC_ALL=C

work=$(mktemp -d "${TMPDIR:-/tmp}/ziz-report-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bin/bench/bench_report" --runs 1 --keep "$work" >/dev/null
for archive in 365x2000 10000x200; do
  in=$work/$archive/arquivo
  out=$work/$archive/relatorio
  echo "== $archive: $(ls "$in" | wc -l) files, $(du -sm "$in" | cut -f1) MB"
  hyperfine --warmup 3 --runs "$runs" --export-csv "$work/$archive.csv" \
    -n report "$bin/cli/dta2csv --report $out $in" \
    -n read_folder "$bin/bench/read_folder $in" \
    -n cat "cat $in/*.DAT >/dev/null"
  # command,mean,stddev,median,user,system,min,max (seconds)
  awk -F, 'NR > 1 { median[$1] = $4 }
    END {
      printf "medians: report %.1f ms, read_folder %.1f ms, cat %.1f ms; " \
             "report / read_folder %.2fx, report / cat %.2fx\n\n",
        median["report"] * 1e3, median["read_folder"] * 1e3, median["cat"] * 1e3,
        median["report"] / median["read_folder"], median["report"] / median["cat"]
    }' "$work/$archive.csv"
done
