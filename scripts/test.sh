#!/usr/bin/env bash
# Runs the whole test suite twice: in a plain build and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the tests that use
# threads once more in a ThreadSanitizer build; then the install test once
# more as a Debian packager configures: a multiarch library folder and no
# RUNPATH. All must pass, and all treat compiler warnings as errors. The
# builds have folders of their own (build-test*/), so the build/ of build.sh
# is left alone. JOBS sets how many compilations and tests run at once
# (default: one per processor), as for build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
jobs=${JOBS:-$(nproc)}

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600
}

# A leak fails the sanitizer stage. Nothing is suppressed: no library that
# the suite runs leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== plain build =="
run_suite "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEN_WERROR=ON
echo "== sanitizer build =="
run_suite "$root/build-test-asan" -DCMAKE_BUILD_TYPE=Debug -DQEN_SANITIZE=ON -DQEN_WERROR=ON
echo "== thread sanitizer build (tests that use threads) =="
# Every test of qen_util, and the tests of qen_ag, qen_analyzer and
# vestrake's core that run threads of their own.
tsan="$root/build-test-tsan"
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEN_SANITIZE=thread -DQEN_WERROR=ON >/dev/null
cmake --build "$tsan" -j"$jobs" --target tests/util/all agc_context_test agc_smp_internal_test \
  agc_thread_internal_test analyzer_exports_test analyzer_parser_tree_internal_test analyzer_host_report_faults_test \
  plsql_thread_translate_test
ctest --test-dir "$tsan/tests/util" --output-on-failure -j"$jobs" --timeout 600
ctest --test-dir "$tsan" --output-on-failure -j"$jobs" --timeout 600 \
  -R '^(ContextTest\.OtherThreadsHaveNoContext|SmpThreads\..*|ThreadLayerTest\..*|ExportsThreads\..*|ParserPass\.LongStatementListsDoNotExhaustTheStack|ReportFaults\.ThreadsLockingReportsInOppositeOrdersNeverWaitForever|ReportFaults\.ProcessesLockingReportsWaitUnlessTheyCloseACircle|ThreadTranslate\..*)$'
echo "== install under a multiarch library folder, without RUNPATH =="
multi="$root/build-test-multiarch"
cmake -S "$root" -B "$multi" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEN_WERROR=ON \
  -DCMAKE_INSTALL_LIBDIR=lib/x86_64-linux-gnu -DCMAKE_SKIP_INSTALL_RPATH=ON >/dev/null
# What is installed, not the tests.
cmake --build "$multi" -j"$jobs" --target qen_ag qen_analyzer qen_util qen_host vestrake
ctest --test-dir "$multi" --output-on-failure --timeout 600 -R '^install_package$'
