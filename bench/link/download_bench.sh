#!/usr/bin/env bash
# Downloads a log from the simulated locator over a real pseudo-terminal with `tarvik download`
# and reports wall time against the line's own limit (bytes x 10 / baud), the CPU time of the
# toolkit side and its peak memory. Run by hand from the repository root after a build:
#   bench/link/download_bench.sh [RECORDS] [BAUD|unpaced] [RUNS]
# Defaults: 30000 records (about 1 MB) at 115200 baud, three runs.
set -euo pipefail
records=${1:-30000}
speed=${2:-115200}
runs=${3:-3}
bin=${TARVIK_BUILD_DIR:-build}/bin
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT

"$bin/tarvik-locator-sim" --write-log "$work/log.lgd" --records "$records" >/dev/null
if [ "$speed" = unpaced ]; then pace=(--unpaced); else pace=(--baud "$speed"); fi
"$bin/tarvik-locator-sim" --port-path "$work/COM7" --log "$work/log.lgd" "${pace[@]}" >/dev/null &
sim=$!
sleep 0.5
bytes=$((records * 34 + 1))
echo "log: $records records, $bytes bytes; line: $speed"
if [ "$speed" != unpaced ]; then
  awk -v b="$bytes" -v s="$speed" 'BEGIN { printf "line limit: %.1f s\n", b * 10 / s }'
fi
for run in $(seq "$runs"); do
  rm -rf "$work/docs"
  TARVIK_PORT_PATTERN="$work/COM{n}" /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
    "$bin/tarvik" --documents "$work/docs" --appdata "$work/app" --yes download --port 7 --all \
    >/dev/null 2>&1
  read -r wall user sys rss <"$work/time"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v r="$rss" -v n="$run" 'BEGIN {
    printf "run %d: wall %.2f s, toolkit CPU %.2f s (%.1f%% of one core), peak memory %.1f MB\n",
           n, w, u + s, 100 * (u + s) / w, r / 1024 }'
done
cp "$work/log.lgd" /dev/null
start=$(date +%s.%N); cp "$work/log.lgd" "$work/copy"; end=$(date +%s.%N)
awk -v a="$start" -v b="$end" 'BEGIN { printf "reference: cp of the log %.3f s\n", b - a }'
