#!/usr/bin/env bash
# Times `tarvik summary` and `tarvik export-csv` on a large log against reference commands on
# the same files in the same run: `wc -l` of the log and `cp` of the CSV the export writes.
# Whole processes are timed, start-up included; `tarvik help` shows the start-up alone, against
# the start-up of /bin/true, of `cat /dev/null` and of a program that only loads Qt Core
# (build/bench/qt_core_start: the floor of any program linked to Qt Core).
# Run by hand from the repository root after a build:
#   bench/cli/summary_export_bench.sh [RECORDS] [RUNS]
# Defaults: 1,000,000 records (about 34 MB), seven runs; medians in milliseconds.
set -euo pipefail
records=${1:-1000000}
runs=${2:-7}
bin=${TARVIK_BUILD_DIR:-build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

log="$work/log.lgd"
"$bin/tarvik-locator-sim" --write-log "$log" --records "$records" >/dev/null
echo "log: $records records, $(stat -c %s "$log") bytes"

# Milliseconds of wall time of one command, its output thrown away.
elapsed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", (b - a) * 1000 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

names=(true cat qtcore help wc summary export cp)
run_one() {
  case $1 in
  true) elapsed /bin/true ;;
  cat) elapsed cat /dev/null ;;
  qtcore) elapsed "$bin/../bench/qt_core_start" ;;
  help) elapsed "$bin/tarvik" help ;;
  wc) elapsed wc -l "$log" ;;
  summary) elapsed "$bin/tarvik" summary "$log" ;;
  export) elapsed "$bin/tarvik" export-csv "$log" -o "$work/out.csv" ;;
  cp) elapsed cp "$work/out.csv" "$work/copy.csv" ;;
  esac
}
# One warm-up round puts the files in the page cache; then the commands take turns, so that
# the load of the machine falls on all of them alike.
for name in "${names[@]}"; do run_one "$name" >/dev/null; done
for run in $(seq "$runs"); do
  for name in "${names[@]}"; do run_one "$name" >>"$work/$name.times"; done
done
for name in "${names[@]}"; do median <"$work/$name.times" >"$work/$name.median"; done
m() { cat "$work/$1.median"; }

peak() {
  /usr/bin/time -f "%M" -o "$work/rss" "$@" >/dev/null 2>&1
  awk '{ printf "%.1f", $1 / 1024 }' "$work/rss"
}
echo "CSV: $(stat -c %s "$work/out.csv") bytes"
printf "median of %d runs (ms): /bin/true %s, cat /dev/null %s, Qt Core alone %s, tarvik help %s\n" \
  "$runs" "$(m true)" "$(m cat)" "$(m qtcore)" "$(m help)"
printf "median of %d runs (ms): wc -l %s, tarvik summary %s, tarvik export-csv %s, cp of the CSV %s\n" \
  "$runs" "$(m wc)" "$(m summary)" "$(m export)" "$(m cp)"
awk -v s="$(m summary)" -v w="$(m wc)" -v e="$(m export)" -v c="$(m cp)" \
  -v h="$(m help)" -v t="$(m true)" -v n="$(m cat)" -v q="$(m qtcore)" 'BEGIN {
  printf "tarvik help / /bin/true: %.2f, tarvik help / cat /dev/null: %.2f\n", h / t, h / n
  printf "tarvik help - Qt Core alone: %.2f ms\n", h - q
  printf "summary / wc -l: %.2f (target 5 or less)\n", s / w
  printf "export-csv / cp: %.2f (target 3 or less)\n", e / c }'
echo "peak memory: summary $(peak "$bin/tarvik" summary "$log") MB," \
  "export-csv $(peak "$bin/tarvik" export-csv "$log" -o "$work/out.csv") MB"
