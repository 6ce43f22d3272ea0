#!/usr/bin/env bash
# Builds everything (plain build in build/) and runs the main job on the
# shipped examples. JOBS sets how many compilations run at once (default:
# one per processor).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
"$root/scripts/main-job.sh" "$root/build"
