#!/usr/bin/env bash
# The report's page in a real browser: Debian's chromium, headless, with no
# network and a fresh profile. Makes the sample archive (report_sample),
# reports it with dta2csv --report, has the browser load the page and
# checks that the numbers in its rendered tables are the CSV files'
# numbers (scripts/report_page_check.py), then takes a screenshot at a
# desktop's width and one at a phone's, and checks that each was drawn.
#
#   scripts/report-page-in-browser.sh DTA2CSV REPORT_SAMPLE SCREENSHOT_DIR
#
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) where
# there is no chromium. CTest runs it as report_page_in_browser.
set -euo pipefail
dta2csv=$1
sample=$2
shots=$3
here=$(cd "$(dirname "$0")" && pwd)
command -v chromium >/dev/null || { echo "skipped: no chromium" >&2; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ziz-report-page.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/arquivo" "$work/relatorio" "$work/home"
mkdir -p "$shots"
"$sample" "$work/arquivo"
status=0
"$dta2csv" --report "$work/relatorio" "$work/arquivo" 2>/dev/null || status=$?
# The sample holds a folder named PASTA.DAT, which no conversion opens.
[ "$status" -eq 1 ] || { echo "dta2csv --report exited $status, not 1" >&2; exit 1; }
page=$work/relatorio/RELATORIO.HTML

# Each run of the browser with a profile of its own, nothing of the
# user's and nothing from the network.
browse() {
  HOME=$work/home chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$(mktemp -d "$work/perfil.XXXXXX")" "$@" "file://$page" \
    2>/dev/null
}

browse --dump-dom >"$work/dom.html"
/usr/bin/python3 "$here/report_page_check.py" dom "$work/dom.html" \
  "$work/relatorio/TOTAL-DIARIO.CSV" "$work/relatorio/MOV-POR-HORA.CSV"

browse --screenshot="$shots/desktop.png" --window-size=1280,900 >/dev/null
browse --screenshot="$shots/phone.png" --window-size=390,844 >/dev/null
/usr/bin/python3 "$here/report_page_check.py" png "$shots/desktop.png" 1280 900
/usr/bin/python3 "$here/report_page_check.py" png "$shots/phone.png" 390 844
echo "report page: tables equal the CSV files; screenshots in $shots"
