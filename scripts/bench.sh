#!/usr/bin/env bash
# Throughput and peak memory of qen_host, vestrake -i and vestrake -a on
# large inputs built from the shared corpus.
#
#   scripts/bench.sh [-k DIR] [-s MB] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ in the repository. The T-SQL input is every
# corpus batch that qen_host accepts, each followed by a "go" line; the
# PL/SQL input is every corpus unit that vestrake translates, each followed
# by a "/" line; both are repeated to about MB megabytes (10 by default).
# Each program runs three times over its input; the best time is reported
# with the peak resident memory of that run. -k keeps the inputs and the
# outputs of the last run of each program in DIR (for comparing outputs
# between builds).
#
# Not a test: the figures depend on the machine and on its load.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

keep=""
size_mb=10
while getopts "k:s:h" opt; do
  case $opt in
    k) keep=$OPTARG ;;
    s) size_mb=$OPTARG ;;
    *) echo "usage: $0 [-k DIR] [-s MB] [BUILD_DIR]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=$(cd "${1:-$root/build}" && pwd)
corpus=$root/../shared/corpus

host=$build/analyzer/qen_host
vst=$build/plsql/vestrake
for p in "$host" "$vst"; do
  [ -x "$p" ] || { echo "bench: $p is missing; build first" >&2; exit 2; }
done
[ -d "$corpus" ] || { echo "bench: no corpus at $corpus" >&2; exit 2; }

# Peak memory comes from GNU time; install it when missing.
if [ ! -x /usr/bin/time ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq time
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
target=$((size_mb * 1000000))

# Splits FILE into pieces at separator lines matched by the awk regex SEP
# (case-insensitive), writing each non-blank piece to DIR/<n>.
split_units() {
  local file=$1 sep=$2 dir=$3
  awk -v sep="$sep" -v dir="$dir" -v base="$(ls "$dir" | wc -l)" '
    function flush() {
      if (text ~ /[^ \t\r\n]/) { n++; f = sprintf("%s/%07d", dir, base + n); printf "%s", text > f; close(f) }
      text = ""
    }
    { line = $0 "\n"; if (tolower($0) ~ sep) flush(); else text = text line }
    END { flush() }' "$file"
}

# Appends copies of the pieces in DIR, each followed by SEPLINE, to OUT
# until OUT holds at least the target size.
repeat_to_size() {
  local dir=$1 sepline=$2 out=$3
  local once=$work/once
  : >"$once"
  local f
  for f in "$dir"/*; do
    cat "$f" >>"$once"
    printf '%s\n' "$sepline" >>"$once"
  done
  local one
  one=$(stat -c %s "$once")
  [ "$one" -gt 0 ] || { echo "bench: no usable input in the corpus" >&2; exit 2; }
  : >"$out"
  while [ "$(stat -c %s "$out")" -lt "$target" ]; do cat "$once" >>"$out"; done
}

echo "building the inputs from $corpus ..."
mkdir -p "$work/tsql-all" "$work/tsql-ok" "$work/plsql-all" "$work/plsql-ok"
while IFS= read -r -d '' f; do
  split_units "$f" '^[ \t]*go[ \t\r]*$' "$work/tsql-all"
done < <(find "$corpus/tsql" -type f -name '*.sql' -print0 | sort -z)
for f in "$work/tsql-all"/*; do
  "$host" "$f" >/dev/null 2>&1 && mv "$f" "$work/tsql-ok/"
done
while IFS= read -r -d '' f; do
  split_units "$f" '^[ \t]*/[ \t\r]*$' "$work/plsql-all"
done < <(find "$corpus/plsql" -type f \( -name '*.pks' -o -name '*.pkb' -o -name '*.tps' \
            -o -name '*.tpb' -o -name '*.sql' -o -name '*.trg' \) -print0 | sort -z)
for f in "$work/plsql-all"/*; do
  "$vst" -i "$f" >/dev/null 2>&1 && mv "$f" "$work/plsql-ok/"
done
repeat_to_size "$work/tsql-ok" go "$work/input.sql"
repeat_to_size "$work/plsql-ok" / "$work/input.pls"
echo "T-SQL:  $(ls "$work/tsql-ok" | wc -l) accepted batches, $(stat -c %s "$work/input.sql") bytes"
echo "PL/SQL: $(ls "$work/plsql-ok" | wc -l) translated units, $(stat -c %s "$work/input.pls") bytes"

# Runs NAME INPUT COMMAND... three times; prints the best time as MB/s of
# INPUT with the peak memory of that run. The command's standard output
# goes to $work/NAME.out.
measure() {
  local name=$1 input=$2
  shift 2
  local bytes best="" best_kb="" i t0 t1 ns kb status
  bytes=$(stat -c %s "$input")
  for i in 1 2 3; do
    rm -f "$work/$name.out" "$work/$name.xml"
    t0=$(date +%s%N)
    status=0
    /usr/bin/time -f %M -o "$work/$name.mem" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
    t1=$(date +%s%N)
    ns=$((t1 - t0))
    kb=$(tail -n 1 "$work/$name.mem")
    if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; best_kb=$kb; fi
  done
  awk -v n="$name" -v b="$bytes" -v ns="$best" -v kb="$best_kb" -v st="$status" 'BEGIN {
    printf "%-12s %6.2f MB in %6.3f s  %7.2f MB/s  peak %8.1f MB  exit %d\n",
           n, b / 1e6, ns / 1e9, b / 1e6 / (ns / 1e9), kb / 1024, st }'
}

echo "best of 3:"
measure qen_host "$work/input.sql" "$host" "$work/input.sql"
measure vestrake-i "$work/input.pls" "$vst" -i "$work/input.pls"
measure vestrake-a "$work/input.pls" "$vst" -i "$work/input.pls" -a "$work/vestrake-a.xml"

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/input.sql" "$work/input.pls" "$work/qen_host.out" "$work/vestrake-i.out" \
     "$work/vestrake-a.out" "$work/vestrake-a.xml" "$keep/"
  echo "inputs and outputs kept in $keep"
fi
