#!/usr/bin/env bash
# A batch of day files (400 records each) converted by one dta2csv call,
# beside the durable batch floor (bench/batch_floor.c, both ways), a gawk
# loop (bench/dta2csv.awk once per file, writing the CSVs without a flush)
# and dta2csv -j 1, side by side in one hyperfine run: 365 days, then
# 10 000. Earlier CSVs are present and the logs go to /dev/null. Checks
# first that every way gives byte-identical CSVs. Prints hyperfine's tables
# and the ratios. With a Windows build in build-windows/, also dta2csv.exe
# under Wine on the 365 days: the batch against -j 1. A benchmark, not a
# test: it measures and asserts nothing about time.
#
#   bench/batch_compare.sh [RUNS_365] [RUNS_10000] [RUNS_WINE]   (0 leaves one out)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
ensure_packages hyperfine gawk
build_targets dta2csv batch_floor batch_days
runs_365=${1:-30}
runs_10000=${2:-3}
runs_wine=${3:-5}
export LC_ALL=C

work=$(mktemp -d "${TMPDIR:-/tmp}/ziz-batch.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The CSVs of `folder`, one checksum each, in order.
checksums() { (cd "$1" && md5sum ./*.CSV); }

# Converts `folder` every way once and checks that the CSVs agree.
check_identical() {
  local folder=$1
  "$bin/cli/dta2csv" -j 1 "$folder"/*.DAT >/dev/null
  checksums "$folder" >"$work/one-at-a-time"
  "$bin/cli/dta2csv" "$folder"/*.DAT >/dev/null
  checksums "$folder" | cmp -s - "$work/one-at-a-time" || { echo "batch CSVs differ" >&2; exit 1; }
  bash "$work/gawk-loop" "$folder"
  checksums "$folder" | cmp -s - "$work/one-at-a-time" || { echo "gawk CSVs differ" >&2; exit 1; }
  echo "$(ls "$folder"/*.CSV | wc -l) CSVs byte-identical: dta2csv, dta2csv -j 1, gawk"
}

cat >"$work/gawk-loop" <<EOF
for input in "\$1"/*.DAT; do
  gawk -v csv="\${input%.DAT}.CSV" -f "$PWD/bench/dta2csv.awk" "\$input"
done >/dev/null
EOF

ratios() {
  # command,mean,stddev,median,user,system,min,max (seconds)
  awk -F, 'NR > 1 { median[$1] = $4 }
    END {
      d = median["dta2csv"]
      printf "\nmedians: dta2csv %.0f ms, floor (syncfs) %.0f ms, floor (in flight) %.0f ms, ",
        d * 1e3, median["floor (syncfs)"] * 1e3, median["floor (in flight)"] * 1e3
      printf "gawk loop %.0f ms, dta2csv -j 1 %.0f ms\n", median["gawk loop"] * 1e3,
        median["dta2csv -j 1"] * 1e3
      printf "dta2csv / floor (syncfs): %.2fx   dta2csv / floor (in flight): %.2fx\n",
        d / median["floor (syncfs)"], d / median["floor (in flight)"]
      printf "gawk loop / dta2csv: %.1fx   dta2csv -j 1 / dta2csv: %.1fx\n",
        median["gawk loop"] / d, median["dta2csv -j 1"] / d
    }' "$1"
}

for days in 365 10000; do
  [ "$days" = 10000 ] && [ "$runs_10000" = 0 ] && continue
  folder=$work/days$days
  mkdir "$folder"
  "$bin/bench/batch_days" "$folder" "$days" 400
  check_identical "$folder"
  log_bytes=$("$bin/cli/dta2csv" "$folder"/*.DAT | wc -c)
  runs=$runs_365
  [ "$days" = 365 ] || runs=$runs_10000
  echo "$days days: $(cat "$folder"/*.DAT | wc -c) bytes in, log $log_bytes bytes"
  # The file names as arguments, relative to the folder. A command line of
  # 10 000 of them passes the kernel's limit for one argument (hyperfine's
  # command), so there a script started with them in the folder runs it
  # (exec: the shell's own start, about a millisecond, is all it adds).
  cd "$folder"
  commands=("$bin/cli/dta2csv" "$bin/bench/batch_floor $log_bytes"
            "$bin/bench/batch_floor --in-flight 16 $log_bytes" "$bin/cli/dta2csv -j 1")
  for k in "${!commands[@]}"; do
    if [ "$days" = 365 ]; then
      commands[$k]="${commands[$k]} $(echo MOV*.DAT)"
    else
      echo "exec ${commands[$k]} MOV*.DAT" >"$work/command$k"
      commands[$k]="bash $work/command$k"
    fi
  done
  hyperfine -N --warmup 1 --runs "$runs" --export-csv "$work/times$days.csv" \
    -n dta2csv "${commands[0]}" \
    -n "floor (syncfs)" "${commands[1]}" \
    -n "floor (in flight)" "${commands[2]}" \
    -n "gawk loop" "bash $work/gawk-loop $folder" \
    -n "dta2csv -j 1" "${commands[3]}"
  cd - >/dev/null
  ratios "$work/times$days.csv"
done

exe=build-windows/cli/dta2csv.exe
if [ -x /usr/lib/wine/wine64 ] && [ -f "$exe" ] && [ "$runs_wine" != 0 ]; then
  environment=(env --unset=DISPLAY --unset=WAYLAND_DISPLAY LC_ALL=C.UTF-8
               WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all
               WINEDLLOVERRIDES=mscoree,mshtml=)
  wine=("${environment[@]}" /usr/lib/wine/wine64)
  pattern="Z:$work/days365/*.DAT"  # forward slashes: hyperfine reads backslashes as escapes
  # Wine's server kept running between runs, as on a desktop where a
  # Windows program has run before.
  "${environment[@]}" /usr/lib/wine/wineserver -p 60 </dev/null >/dev/null 2>&1 || true
  trap '"${environment[@]}" /usr/lib/wine/wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
  hyperfine -N --warmup 1 --runs "$runs_wine" --export-csv "$work/wine.csv" \
    -n "dta2csv.exe" "${wine[*]} $PWD/$exe $pattern" \
    -n "dta2csv.exe -j 1" "${wine[*]} $PWD/$exe -j 1 $pattern"
  awk -F, 'NR > 1 { median[$1] = $4 }
    END { printf "\nWine, 365 days: dta2csv.exe %.0f ms, -j 1 %.0f ms: %.1fx\n",
            median["dta2csv.exe"] * 1e3, median["dta2csv.exe -j 1"] * 1e3,
            median["dta2csv.exe -j 1"] / median["dta2csv.exe"] }' "$work/wine.csv"
fi
