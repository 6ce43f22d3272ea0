// Writes a generated reference page whole: the tool's exit status, 1 (with
// the system's reason on standard error) when the file cannot be written.
#pragma once

#include <cstdio>
#include <string>

inline int writeDocPage(const char* path, const std::string& page) {
  FILE* out = std::fopen(path, "w");
  if (!out) {
    std::perror(path);
    return 1;
  }
  bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(path);
    return 1;
  }
  return 0;
}
