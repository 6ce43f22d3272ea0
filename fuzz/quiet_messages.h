// The analyzer writes its messages about the user's SQL through stderr, the
// stream: a fuzzer would print hundreds of thousands of them, burying its own
// reports. Pointing the stream at /dev/null silences them alone: libFuzzer
// took the stream for its output before the first input, and the sanitizers
// write to the descriptor.
#pragma once

#include <stdio.h>
#include <stdlib.h>

inline void quiet_library_messages() {
  FILE* null = fopen("/dev/null", "w");
  if (null == nullptr) abort();
  stderr = null;
}
