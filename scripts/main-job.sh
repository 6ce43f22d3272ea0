#!/usr/bin/env bash
# The main job on the shipped examples: the T-SQL feature report of
# examples/sample.sql and the PL/SQL syntax-tree dump of examples/sample.pls.
# Prints each program's exit status as it was; ends with status 1 when
# either is not 0.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

echo "== T-SQL analysis of examples/sample.sql (qen_host over qen_analyzer) =="
"$build/analyzer/qen_host" "$root/examples/sample.sql"
host_status=$?
echo "== qen_host exit status: $host_status (0 every batch accepted, 1 a batch not accepted or a syntax error, 2 input or report unusable) =="

echo "== PL/SQL syntax tree of examples/sample.pls (vestrake -a) =="
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/plsql/vestrake" -i "$root/examples/sample.pls" -a "$out"
vst_status=$?
cat "$out"
echo "== vestrake exit status: $vst_status (0 success, 5 syntax error, 1 too many errors, 2 fatal scanner error, 255 usage, input or dump unusable) =="

[ "$host_status" -eq 0 ] && [ "$vst_status" -eq 0 ]
