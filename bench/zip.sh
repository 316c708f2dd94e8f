#!/usr/bin/env bash
# Packing and unpacking speed, archive size and peak memory of the toolbox's ZIP step against zip -9, pigz and
# unzip, on an accounting-like database file (and, with --big, a file above 4 GiB for Zip64).
# Usage: bench/zip.sh [--big]     (after scripts/test.sh has built the tree and the workstation)
# Prints a Markdown table; the numbers go to docs/benchmarks.md. Uses both cores for minutes: run it alone.
set -euo pipefail
source "$(dirname "$0")/../scripts/env.sh"
big=${1:-}
tool=$ZZ_BUILD/bin/ZipTool.exe
[[ -f $tool ]] || { echo "build first (scripts/test.sh)" >&2; exit 1; }
data=$ZZ_CACHE/bench
mkdir -p "$data"
[[ -f $data/ledger.db ]] || python3 "$ZZ_ROOT/bench/make_ledger_db.py" "$data/ledger.db" 256 >/dev/null

work=$(mktemp -d "$ZZ_BUILD/bench.XXXXXX")
trap 'zz_stop_wine; rm -rf "$work"' EXIT
zz_start_wine  # a persistent wineserver: each run pays no Wine start-up

# run LABEL INPUT_BYTES OUTPUT_FILE COMMAND...: one row "| label | s | MiB/s | output bytes | peak MiB |".
run() {
  local label=$1 bytes=$2 output=$3
  shift 3
  sync
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
  read -r secs kb <"$work/time"
  local size=""
  [[ -n $output && -f $output ]] && size=$(stat -c %s "$output")
  awk -v l="$label" -v s="$secs" -v b="$bytes" -v o="$size" -v k="$kb" \
    'BEGIN { printf "| %s | %.1f | %.1f | %s | %.0f |\n", l, s, b / 1048576 / s, o, k / 1024 }'
}

bench_file() {
  local file=$1 name=$2 all=$3 bytes
  bytes=$(stat -c %s "$file")
  ln -f "$file" "$work/$name" 2>/dev/null || cp "$file" "$work/$name"
  echo
  echo "$name: $bytes bytes"
  echo
  echo "| run | wall s | MiB/s | archive bytes | peak RSS MiB |"
  echo "|---|---|---|---|---|"
  cat "$file" >/dev/null  # in the page cache for every contender alike
  run "ZipTool pack (libdeflate 9, $(nproc) threads)" "$bytes" "$work/ours.zip" \
    wine "$tool" pack "Z:$work/$name" "Z:$work/ours.zip" "$name"
  if [[ $all == all ]]; then
    run "zip -9" "$bytes" "$work/zip9.zip" bash -c "cd '$work' && zip -q -9 zip9.zip '$name'"
    run "pigz --zip -9 -p2" "$bytes" "$work/pigz.zip" bash -c "cd '$work' && pigz --zip -9 -p 2 -c '$name' >pigz.zip"
  fi
  unzip -tq "$work/ours.zip" >/dev/null || { echo "unzip -t rejects the archive" >&2; exit 1; }
  7z t "$work/ours.zip" >/dev/null || { echo "7z t rejects the archive" >&2; exit 1; }
  mkdir -p "$work/x-ours" "$work/x-unzip"
  run "ZipTool extract" "$bytes" "" wine "$tool" extract "Z:$work/ours.zip" "Z:$work/x-ours"
  cmp "$file" "$work/x-ours/$name" || { echo "extracted file differs" >&2; exit 1; }
  rm -f "$work/x-ours/$name"
  run "unzip" "$bytes" "" unzip -q -o "$work/ours.zip" -d "$work/x-unzip"
  rm -f "$work/x-unzip/$name" "$work"/*.zip
}

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB; $(wine --version)"
bench_file "$data/ledger.db" ledger.bak all

if [[ $big == --big ]]; then
  # Seventeen copies of the database with a different 4 KiB stamp at the start of each: above 4 GiB, and realistic
  # to Deflate (which sees only 32 KiB back).
  bigfile=$data/ledger-4g.bak
  if [[ ! -f $bigfile ]]; then
    for i in $(seq 17); do head -c 4096 /dev/zero | tr '\0' "$(printf "\\$(printf %o $((64 + i)))")"; cat "$data/ledger.db"; done >"$bigfile"
  fi
  bench_file "$bigfile" ledger-4g.bak ours
fi
