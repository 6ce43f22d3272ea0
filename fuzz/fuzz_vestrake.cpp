// Fuzz target: any bytes as a PL/SQL source (up to its first NUL, where the
// translator's source text ends), through everything vestrake does with a
// tree: dump it as XML, draw it as a graph, check, rewrite and emit it. The
// documents go to /dev/null; what is checked is that the scanner, the
// parser, the writers and the rewriting never read or write out of bounds,
// crash or hang, and never stop on an internal error.
#include <fcntl.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "ast_dot.h"
#include "parse_context.h"
#include "run_pool.h"
#include "translate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The dump's progress lines would flood the fuzzer's output.
  static bool quiet = [] {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    return true;
  }();
  (void)quiet;
  std::string source(reinterpret_cast<const char*>(data), size);
  source.resize(strlen(source.c_str()));

  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.astFile = "/dev/null";
  TranslateResult dumped = translateCore(source.c_str(), &options);
  if (dumped.jumpCode == POOL_JUMP_INTERNAL_ERROR) abort();
  // The tree lives in the run's pool, which the result owns.
  if (dumped.root && dumped.jumpCode == 0) {
    writeAstDot("/dev/null", "w", dumped.root, 0, -1, 0);
    writeAstDot("/dev/null", "w", dumped.root, 1, 2, 3);
  }

  options.astFile = nullptr;
  TranslateResult translated = translateCore(source.c_str(), &options);
  if (translated.jumpCode == POOL_JUMP_INTERNAL_ERROR) abort();
  return 0;
}
