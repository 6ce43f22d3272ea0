// A C++ user of qen_util: a value and a missing key of an INI file.
//
//   ini_cpp FILE SECTION KEY
#include <cstdio>

#include "IniReader.h"
#include "QENException.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  qen_util::IniReader ini(argv[1]);
  try {
    std::printf("%s=%s\n", argv[3], ini.getStringValue(argv[2], argv[3]).c_str());
    ini.getStringValue(argv[2], "no such key");
  } catch (const qen_util::QENException& e) {
    // The message ends its own line.
    std::printf("refused: %s", e.getErrorMsg().c_str());
    return 0;
  }
  return 1;
}
