#!/usr/bin/env bash
# The main job on the shipped examples: the T-SQL analysis report and the
# PL/SQL syntax-tree dump.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
ran=0
if [ -x "$build/analyzer/qen_host" ]; then
  echo "== T-SQL analysis of examples/sample.sql =="
  "$build/analyzer/qen_host" "$root/examples/sample.sql" || true
  ran=1
fi
if [ -x "$build/plsql/vestrake" ]; then
  echo "== PL/SQL syntax tree of examples/sample.pls =="
  out=$(mktemp)
  "$build/plsql/vestrake" -i "$root/examples/sample.pls" -a "$out" && cat "$out" || true
  rm -f "$out"
  ran=1
fi
if [ $ran -eq 0 ]; then
  echo "Nothing to run yet."
fi
