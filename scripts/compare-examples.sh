#!/usr/bin/env bash
# Converts examples/*.DAT with the Linux dta2csv and with a second build
# (dta2csv.exe under Wine) and fails unless both give byte-identical CSVs
# and the same log lines, the time text aside (the two locales differ) and
# the line ends (CR LF on Windows).
#
#   scripts/compare-examples.sh LINUX_DTA2CSV OTHER_COMMAND...
#
# Exits 77 (a skip for CTest) when the Linux build is not there.
set -euo pipefail
examples=$(cd "$(dirname "$0")/../examples" && pwd)
linux=$1
shift
[ -x "$linux" ] || { echo "no Linux build at $linux: skipped"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/linux" "$scratch/other"
cp "$examples"/*.DAT "$scratch/linux"
cp "$examples"/*.DAT "$scratch/other"

strip_time() { sed -E 's/\r$//; s/^[0-9]{1,2}:[0-9]{2}:[0-9]{2}( [AP]M)? //' "$1"; }

status=0
for dat in "$examples"/*.DAT; do
  name=$(basename "$dat")
  csv=${name%.DAT}.CSV
  (cd "$scratch/linux" && LC_ALL=C.UTF-8 "$linux" "$name" >"$name.log")
  (cd "$scratch/other" && "$@" "$name" >"$name.log")
  if ! cmp "$scratch/linux/$csv" "$scratch/other/$csv"; then
    status=1
  elif ! diff <(strip_time "$scratch/linux/$name.log") <(strip_time "$scratch/other/$name.log"); then
    echo "$name: the logs differ" >&2
    status=1
  else
    echo "$name: $csv byte-identical, $(wc -l <"$scratch/other/$name.log") log lines alike"
  fi
done
exit "$status"
