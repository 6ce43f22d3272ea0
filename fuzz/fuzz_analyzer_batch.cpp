// Fuzz target: any bytes as the text of one batch, with the quoted-identifier
// switch taken from the first byte. The report is discarded; what is
// checked is that the scanner, the parser and the evaluation never read or
// write out of bounds, crash or hang.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "ag_context.h"
#include "host_batch.h"
#include "qen_analyzer.h"
#include "quiet_messages.h"

namespace {

file_state* report() {
  static file_state* fs = [] {
    analyzer_init();
    lib_one_time_init();
    // A report path must name a regular file; the report goes to standard
    // output, which leads nowhere.
    if (freopen("/dev/null", "w", stdout) == nullptr) abort();
    quiet_library_messages();
    return file_state_new("fuzz", nullptr, nullptr, 0, 1);
  }();
  return fs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static int version[3];
  static bool have_version = (ver_init(version, nullptr), true);
  (void)have_version;
  int quoted = data[0] & 1;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (text.empty()) return 0;
  qen_host::analyse_batch(report(), text, version, quoted);
  return 0;
}
