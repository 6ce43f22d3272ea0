#!/usr/bin/env bash
# The main job on the shipped examples: the T-SQL feature report of
# examples/sample.sql and the PL/SQL syntax-tree dump of examples/sample.pls.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

echo "== T-SQL analysis of examples/sample.sql (qen_host over qen_analyzer) =="
status=0
"$build/analyzer/qen_host" "$root/examples/sample.sql" || status=$?
echo "== qen_host exit status: $status (0: every batch accepted) =="

echo "== PL/SQL syntax tree of examples/sample.pls (vestrake -a) =="
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/plsql/vestrake" -i "$root/examples/sample.pls" -a "$out"
cat "$out"
echo "== vestrake exit status: 0 =="
