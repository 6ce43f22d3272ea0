#!/usr/bin/env bash
# Time and peak memory of qen_host, vestrake -i and vestrake -a on large
# inputs built from the shared corpus.
#
#   scripts/bench.sh [-c CORPUS] [-k DIR] [-s MB] [-n PAIRS] [-P N] [-b OLD_BUILD] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ in the repository, CORPUS to ../shared/corpus
# beside it. The T-SQL input is every corpus batch that qen_host accepts,
# each followed by a "go" line; the PL/SQL input is every corpus unit that
# vestrake translates, each followed by a "/" line; both are repeated to
# about MB megabytes (10 by default). A third input is one single batch of
# one-line SELECTs of the same size.
#
# What it measures: each program runs PAIRS times (9 by default) over its
# input as a whole process, and GNU time gives each run's user CPU time,
# system time, wall time, peak resident memory and minor page faults (%U,
# %S, %e, %M, %R). One line per program gives the median of each figure
# (peak in MB of 2^20 bytes, faults in thousands) and the exit status of the
# last run:
#
#   vestrake-i   user 0.27 s  sys 0.03 s  wall 0.30 s  peak 90.1 MB  faults 23.1 k  exit 0
#
# -P N makes each run N processes of the program at once, each over the
# input (N = $(nproc) puts one on every core, as a large estate analysed one
# run per file is): the medians are then those of every process of every
# run.
#
# -b runs the programs of OLD_BUILD too, in PAIRS pairs of runs one after the
# other (old, new, old, new, ...), so that a drift of the machine's speed
# touches both alike; the line then gives the old build's median after each
# figure and the ratio new/old (none for system time, often near 0):
#
#   vestrake-i   user 0.27 s (old 0.27 s, 1.01x)  sys 0.03 s (old 0.02 s)  wall 0.30 s (old 0.31 s, 0.97x)  peak 90.1 MB (old 90.3 MB, 1.00x)  faults 23.1 k (old 23.0 k, 1.00x)  exit 0
#
# and the outputs of the last run of the two builds are compared byte for
# byte (reports, standard output and error, exit statuses, dumps): exit
# status 1 when one differs. -k keeps the inputs and the outputs of the last
# run of each program in DIR.
#
# Not a test: the figures depend on the machine and on its load; quote the
# ratios of a -b run rather than the times. GNU time counts CPU and wall
# time in hundredths of a second, so on the default inputs a ratio moves in
# steps of a few percent; -s 64 makes them finer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage_line="usage: $0 [-c CORPUS] [-k DIR] [-s MB] [-n PAIRS] [-P N] [-b OLD_BUILD] [BUILD_DIR]"
usage() { echo "$usage_line" >&2; exit 2; }
# A command line that cannot be used: what is wrong, then the usage.
refuse() { echo "bench: $1" >&2; usage; }

keep=""
size_mb=10
pairs=9
parallel=1
corpus=$root/../shared/corpus
old=""
while getopts "c:k:s:n:P:b:h" opt; do
  case $opt in
    c) corpus=$OPTARG ;;
    k) keep=$OPTARG ;;
    s) size_mb=$OPTARG ;;
    n) pairs=$OPTARG ;;
    P) parallel=$OPTARG ;;
    b) old=$OPTARG ;;
    h) echo "$usage_line"; exit 0 ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -le 1 ] || refuse "one build folder at most"
[[ $size_mb =~ ^[1-9][0-9]*$ ]] || refuse "-s takes a whole number of megabytes above 0, not '$size_mb'"
[[ $pairs =~ ^[1-9][0-9]*$ ]] || refuse "-n takes a whole number of pairs above 0, not '$pairs'"
[[ $parallel =~ ^[1-9][0-9]*$ ]] || refuse "-P takes a whole number of processes above 0, not '$parallel'"
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

# The figures of every run of a tag, each list one value a line: user and
# system seconds, wall seconds, peak KB, minor faults; and the exit status
# of its last run.
declare -A runs_user runs_sys runs_wall runs_kb runs_faults last_status

# Runs the program NAME of BUILD over INPUT once with ARGS (@XML@ standing
# for the dump file) under GNU time, in -P processes at once; the outputs
# of the first go to $work/<tag>.{out,err,xml}, its exit status appended to
# the .out file so that comparing outputs compares it too (the others' to
# $work/<tag>.<k>.*).
run_once() {
  local tag=$1 build_dir=$2 program=$3 input=$4
  shift 4
  local k
  for ((k = 0; k < parallel; k++)); do
    local out=$tag
    [ "$k" -eq 0 ] || out=$tag.$k
    local args=() a
    for a in "$@"; do args+=("${a//@XML@/$work/$out.xml}"); done
    rm -f "$work/$out.xml"
    (
      status=0
      /usr/bin/time -f '%U %S %e %M %R' -o "$work/$out.time" "$build_dir/$program" "${args[@]}" "$input" \
        >"$work/$out.out" 2>"$work/$out.err" || status=$?
      echo "$status" >>"$work/$out.out"
      echo "$status" >"$work/$out.status"
    ) &
  done
  wait
  local user sys wall kb faults
  for ((k = 0; k < parallel; k++)); do
    local out=$tag
    [ "$k" -eq 0 ] || out=$tag.$k
    # A failed run's figures follow GNU time's line about the failure.
    read -r user sys wall kb faults < <(tail -n 1 "$work/$out.time")
    runs_user[$tag]+="$user"$'\n'
    runs_sys[$tag]+="$sys"$'\n'
    runs_wall[$tag]+="$wall"$'\n'
    runs_kb[$tag]+="$kb"$'\n'
    runs_faults[$tag]+="$faults"$'\n'
  done
  last_status[$tag]=$(<"$work/$tag.status")
}

# The median of a list of numbers, one a line.
median() {
  printf '%s' "$1" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

differences=0
# Runs NAME (program and arguments after INPUT) PAIRS times over INPUT, each
# run after one of the old build's program when there is one; prints the
# medians, with the old build's and the ratios, and compares the outputs of
# the two builds.
measure() {
  local name=$1 input=$2 program=$3
  shift 3
  local i
  for ((i = 0; i < pairs; i++)); do
    [ -z "$old" ] || run_once "$name.old" "$old" "$program" "$input" "$@"
    run_once "$name" "$build" "$program" "$input" "$@"
  done
  local figures=(
    "$(median "${runs_user[$name]}")" "$(median "${runs_sys[$name]}")"
    "$(median "${runs_wall[$name]}")" "$(median "${runs_kb[$name]}")" "$(median "${runs_faults[$name]}")")
  if [ -n "$old" ]; then
    figures+=(
      "$(median "${runs_user[$name.old]}")" "$(median "${runs_sys[$name.old]}")"
      "$(median "${runs_wall[$name.old]}")" "$(median "${runs_kb[$name.old]}")" "$(median "${runs_faults[$name.old]}")")
  fi
  awk -v name="$name" -v status="${last_status[$name]}" -v figures="${figures[*]}" '
    # The new figure, then the old one with the ratio new/old where there is
    # an old build (no ratio for system time, which is often near 0).
    function show(label, i, unit, scale, digits, ratio,   text) {
      text = sprintf("%s %.*f %s", label, digits, f[i] / scale, unit)
      if (n > 5) {
        text = text sprintf(" (old %.*f %s", digits, f[i + 5] / scale, unit)
        if (ratio) text = text (f[i + 5] > 0 ? sprintf(", %.2fx", f[i] / f[i + 5]) : ", -")
        text = text ")"
      }
      return text
    }
    BEGIN {
      n = split(figures, f, " ")
      printf "%-12s %s  %s  %s  %s  %s  exit %d\n", name, show("user", 1, "s", 1, 2, 1),
             show("sys", 2, "s", 1, 2, 0), show("wall", 3, "s", 1, 2, 1), show("peak", 4, "MB", 1024, 1, 1),
             show("faults", 5, "k", 1000, 1, 1), status
    }'
  [ -n "$old" ] || return 0
  local x
  for x in out err xml; do
    [ -e "$work/$name.$x" ] || [ -e "$work/$name.old.$x" ] || continue
    if ! cmp -s "$work/$name.$x" "$work/$name.old.$x"; then
      echo "  the $x output of the two builds differs"
      differences=1
    fi
  done
}

each=""
[ "$parallel" -eq 1 ] || each=" of $parallel processes at once, of every process"
if [ -n "$old" ]; then
  echo "medians of $pairs pairs of runs$each (old build, then new):"
else
  echo "medians of $pairs runs$each:"
fi
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
