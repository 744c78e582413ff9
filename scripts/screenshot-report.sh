#!/usr/bin/env bash
# Draws the report's page into docs/report.png: dta2csv --report over the
# tests' sample archive (six month files for two stations and the odd
# files beside them, less the folder named PASTA.DAT), shown by headless
# chromium at a desktop's width.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
ensure_packages "${REPORT_PACKAGES[@]}"
build_targets dta2csv report_sample
out=$PWD/docs/report.png

# A fixed folder keeps the page the same from one run to the next.
scratch=${TMPDIR:-/tmp}/zizadod5-report
rm -rf "$scratch"
mkdir -p "$scratch/arquivo" "$scratch/relatorio" "$scratch/perfil"
"$bin/tests/report/report_sample" "$scratch/arquivo"
rmdir "$scratch/arquivo/PASTA.DAT"
(cd "$scratch" && "$bin/cli/dta2csv" --report relatorio arquivo 2>/dev/null)
HOME=$scratch chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
  --user-data-dir="$scratch/perfil" --window-size=1280,1800 --screenshot="$out" \
  "file://$scratch/relatorio/RELATORIO.HTML" 2>/dev/null
echo "Wrote $out"
