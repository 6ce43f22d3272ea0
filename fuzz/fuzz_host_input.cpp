// Fuzz target: any bytes as a whole input file, read line by line and split
// into batches the way qen_host does (NUL bytes, long lines and every kind of
// line end included). Checks that reading never loses its place: the line
// lengths add up to the input size.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "ag_context.h"
#include "file_state_internal.h"
#include "host_batch.h"
#include "qen_analyzer.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A report path must name a regular file; the report goes to standard
  // output, which leads nowhere, and so do the analyzer's messages.
  static bool ready = (analyzer_init(), lib_one_time_init(), quiet_library_messages(),
                       freopen("/dev/null", "w", stdout) != nullptr);
  (void)ready;
  static int version[3];
  ver_init(version, nullptr);
  char path[] = "/tmp/qen_fuzz_host_XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 0;
  if (write(fd, data, size) != (ssize_t)size) {
    close(fd);
    unlink(path);
    return 0;
  }
  close(fd);
  file_state* fs = file_state_new("fuzz", path, nullptr, 0, 1);
  unlink(path);
  if (fs == nullptr) return 0;
  size_t total = 0;
  qen_host::thread_context context;
  std::string batch;
  for (;;) {
    char* line = file_state_line(fs);
    size_t length = line ? file_state_line_length(fs) : 0;
    total += length;
    bool go = line != nullptr && qen_host::is_go_line(line, length);
    if (line && !go) batch.append(line, length);
    if ((line == nullptr || go) && !batch.empty()) {
      qen_host::analyse_batch(context, fs, batch, version);
      batch.clear();
    }
    if (line == nullptr) break;
  }
  file_state_close(fs);
  // Every byte comes back; a lone CR comes back as LF, one byte for one.
  if (total != size) abort();
  return 0;
}
