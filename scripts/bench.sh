#!/usr/bin/env bash
# Throughput and peak memory of qen_host, vestrake -i and vestrake -a on
# large inputs built from the shared corpus.
#
#   scripts/bench.sh [-c CORPUS] [-k DIR] [-s MB] [-b OLD_BUILD] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ in the repository, CORPUS to ../shared/corpus
# beside it. The T-SQL input is every corpus batch that qen_host accepts,
# each followed by a "go" line; the PL/SQL input is every corpus unit that
# vestrake translates, each followed by a "/" line; both are repeated to
# about MB megabytes (10 by default). A third input is one single batch of
# one-line SELECTs of the same size. Each program runs three times over its
# input; the best time is reported with the peak resident memory of that
# run, also as a multiple of the input's size. -b runs the programs of
# OLD_BUILD too, alternating with the new ones, prints their figures and the
# ratios, and compares every output of the two builds byte for byte (exit
# status 1 when one differs). -k keeps the inputs and the outputs of the last
# run of each program in DIR.
#
# Not a test: the figures depend on the machine and on its load.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $0 [-c CORPUS] [-k DIR] [-s MB] [-b OLD_BUILD] [BUILD_DIR]" >&2; exit 2; }
# A command line that cannot be used: what is wrong, then the usage.
refuse() { echo "bench: $1" >&2; usage; }

keep=""
size_mb=10
corpus=$root/../shared/corpus
old=""
while getopts "c:k:s:b:h" opt; do
  case $opt in
    c) corpus=$OPTARG ;;
    k) keep=$OPTARG ;;
    s) size_mb=$OPTARG ;;
    b) old=$OPTARG ;;
    h) echo "usage: $0 [-c CORPUS] [-k DIR] [-s MB] [-b OLD_BUILD] [BUILD_DIR]"; exit 0 ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -le 1 ] || refuse "one build folder at most"
[[ $size_mb =~ ^[1-9][0-9]*$ ]] || refuse "-s takes a whole number of megabytes above 0, not '$size_mb'"
for dir in "${1:-$root/build}" ${old:+"$old"}; do
  [ -d "$dir" ] || refuse "no build folder at $dir"
done
build=$(cd "${1:-$root/build}" && pwd)
if [ ! -d "$corpus" ]; then
  echo "bench: no corpus at $corpus" >&2
  echo "bench: the corpus is part of the shared material beside the tree (QEN_SHARED_DIR/corpus," >&2
  echo "bench: by default ../shared/corpus); name another folder with -c CORPUS, one holding" >&2
  echo "bench: tsql/**/*.sql and plsql/**/*.{pks,pkb,tps,tpb,sql,trg}" >&2
  exit 2
fi
corpus=$(cd "$corpus" && pwd)
[ -z "$old" ] || old=$(cd "$old" && pwd)

for b in "$build" ${old:+"$old"}; do
  for p in "$b/analyzer/qen_host" "$b/plsql/vestrake"; do
    [ -x "$p" ] || { echo "bench: $p is missing; build first" >&2; exit 2; }
  done
done
host=$build/analyzer/qen_host
vst=$build/plsql/vestrake

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
awk -v target="$target" 'BEGIN {
  for (i = 0; size < target; i++) { line = "select * from t where x = " i; print line; size += length(line) + 1 } }' \
  >"$work/batch.sql"
echo "T-SQL:  $(ls "$work/tsql-ok" | wc -l) accepted batches, $(stat -c %s "$work/input.sql") bytes"
echo "PL/SQL: $(ls "$work/plsql-ok" | wc -l) translated units, $(stat -c %s "$work/input.pls") bytes"
echo "one batch: $(wc -l <"$work/batch.sql") one-line SELECTs, $(stat -c %s "$work/batch.sql") bytes"

# The best time (ns) of each run tag, with the peak (KB) and exit status of
# that run.
declare -A best_ns best_kb best_status

# Runs the program NAME of BUILD over INPUT once with ARGS (@XML@ standing
# for the dump file); its outputs go to $work/<tag>.{out,err,xml}, its exit
# status appended to the .out file so that comparing outputs compares it too.
# A run faster than the tag's best so far becomes the best.
run_once() {
  local tag=$1 build_dir=$2 program=$3 input=$4
  shift 4
  local args=() a t0 t1 ns status=0
  for a in "$@"; do args+=("${a//@XML@/$work/$tag.xml}"); done
  rm -f "$work/$tag.xml"
  t0=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/$tag.mem" "$build_dir/$program" "${args[@]}" "$input" \
    >"$work/$tag.out" 2>"$work/$tag.err" || status=$?
  t1=$(date +%s%N)
  ns=$((t1 - t0))
  echo "$status" >>"$work/$tag.out"
  if [ -z "${best_ns[$tag]:-}" ] || [ "$ns" -lt "${best_ns[$tag]}" ]; then
    best_ns[$tag]=$ns
    best_kb[$tag]=$(tail -n 1 "$work/$tag.mem")
    best_status[$tag]=$status
  fi
}

# Prints the figure line of a run tag: LABEL TAG BYTES [EXTRA].
report_line() {
  awk -v n="$1" -v ns="${best_ns[$2]}" -v kb="${best_kb[$2]}" -v st="${best_status[$2]}" -v b="$3" \
    -v extra="${4:-}" 'BEGIN {
    printf "%-14s %6.2f MB in %6.3f s %7.2f MB/s  peak %8.1f MB = %5.2f x input  exit %d%s\n",
           n, b / 1e6, ns / 1e9, b / 1e6 / (ns / 1e9), kb / 1024, kb * 1024 / b, st, extra }'
}

differences=0
# Runs NAME (program and arguments after INPUT) three times over INPUT, with
# the old build's program in turn when there is one; prints the best time of
# each with the peak of that run and compares the outputs of the two builds.
measure() {
  local name=$1 input=$2 program=$3
  shift 3
  local bytes i
  bytes=$(stat -c %s "$input")
  for i in 1 2 3; do
    run_once "$name" "$build" "$program" "$input" "$@"
    [ -z "$old" ] || run_once "$name.old" "$old" "$program" "$input" "$@"
  done
  report_line "$name" "$name" "$bytes"
  [ -n "$old" ] || return 0
  local ratio
  ratio=$(awk -v a="${best_ns[$name]}" -v b="${best_ns[$name.old]}" -v ka="${best_kb[$name]}" \
    -v kb="${best_kb[$name.old]}" 'BEGIN { printf "  (new/old: time %.2f, peak %.2f)", a / b, ka / kb }')
  report_line "  old" "$name.old" "$bytes" "$ratio"
  local x
  for x in out err xml; do
    [ -e "$work/$name.$x" ] || [ -e "$work/$name.old.$x" ] || continue
    if ! cmp -s "$work/$name.$x" "$work/$name.old.$x"; then
      echo "  the $x output of the two builds differs"
      differences=1
    fi
  done
}

echo "best of 3:"
measure qen_host "$work/input.sql" analyzer/qen_host
measure qen_host-1 "$work/batch.sql" analyzer/qen_host
measure vestrake-i "$work/input.pls" plsql/vestrake -i
measure vestrake-a "$work/input.pls" plsql/vestrake -a @XML@ -i
if [ -n "$old" ]; then
  [ "$differences" -eq 0 ] && echo "every output of the two builds is byte for byte the same"
fi

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/input.sql" "$work/batch.sql" "$work/input.pls" "$keep/"
  for f in "$work"/*.out "$work"/*.err "$work"/*.xml; do
    [ -e "$f" ] && cp "$f" "$keep/"
  done
  echo "inputs and outputs kept in $keep"
fi
exit "$differences"
