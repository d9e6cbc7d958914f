#!/usr/bin/env bash
# The usage report of a large log beside `tarvik summary` of the same file, the reference: both
# read the whole file once. Reports the median wall and CPU time of each over RUNS runs, the
# report's size and its bytes per 100 days of records. Run by hand from the repository root:
#   bench/report/report_bench.sh [RECORDS] [DAYS] [RUNS]
# Defaults: a million records over 400 days, five runs.
set -euo pipefail
records=${1:-1000000}
days=${2:-400}
runs=${3:-5}
bin=${TARVIK_BUILD_DIR:-build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/tarvik-locator-sim" --write-log "$work/log.lgd" --records "$records" --days "$days" \
  --seed 7 --model PVZ3 --serial 4242 --user "Depot North" >/dev/null
echo "log: $records records over $days days, $(stat -c %s "$work/log.lgd") bytes"

# Prints "median-wall median-cpu" of a command over the runs.
measure() {
  for _ in $(seq "$runs"); do
    rm -f "$work/report.pdf"
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
  done | sort -n -k1,1 | awk '{ w[NR] = $1; c[NR] = $2 } END {
    m = int((NR + 1) / 2); printf "%s %s\n", w[m], c[m] }'
}

read -r summary_wall summary_cpu < <(measure "$bin/tarvik" summary "$work/log.lgd")
read -r report_wall report_cpu < <(measure "$bin/tarvik" --documents "$work/docs" report \
  "$work/log.lgd" -o "$work/report.pdf")
"$bin/tarvik" --documents "$work/docs" report "$work/log.lgd" -o "$work/report.pdf" >/dev/null
size=$(stat -c %s "$work/report.pdf")
report_days=$(pdftotext -layout "$work/report.pdf" - | grep -cE '^ *[0-9]{2}/[0-9]{2}/[0-9]{2} +[0-9]+:')
pages=$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }')
echo "reference: tarvik summary  median wall ${summary_wall} s, CPU ${summary_cpu} s"
echo "tarvik report:             median wall ${report_wall} s, CPU ${report_cpu} s"
awk -v r="$report_wall" -v s="$summary_wall" 'BEGIN { printf "report / summary (wall): %.2f\n", r / s }'
awk -v b="$size" -v d="$report_days" -v p="$pages" 'BEGIN {
  printf "report: %d bytes, %d pages, %d days: %.0f KB per 100 days\n", b, p, d, b / d * 100 / 1024 }'
