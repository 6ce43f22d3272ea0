// Fuzz target with an undefined-behaviour fault planted on purpose, built
// with the flags of the real targets: the test fuzz_planted_fault_stops
// shows that such a fault ends the fuzzer and leaves the input that caused
// it, rather than a message and a fuzzer that goes on.
#include <limits.h>
#include <stddef.h>
#include <stdint.h>

namespace {
volatile int g_sink;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Signed overflow once the first byte is past 'z'.
  if (size == 0) return 0;
  int base = INT_MAX - 'z';
  g_sink = base + data[0];
  return 0;
}
