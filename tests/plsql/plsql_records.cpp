// plsql_records [-m] FILE: the statement records and the error records of a
// whole translation of FILE, as the golden tests compare them (the text and
// the errors of a SoundCase of translate_fixture.h), and the run's status;
// -m with line markers. For writing and checking those tests; not installed.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "records_text.h"

int main(int argc, char** argv) {
  bool markers = false;
  int opt;
  while ((opt = getopt(argc, argv, "m")) == 'm') markers = true;
  if (opt != -1 || optind + 1 != argc) {
    std::fprintf(stderr, "usage: plsql_records [-m] FILE\n");
    return 2;
  }
  std::ifstream in(argv[optind], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "plsql_records: cannot read %s\n", argv[optind]);
    return 2;
  }
  std::ostringstream source;
  source << in.rdbuf();
  // The translator's source ends at its first NUL, as the tests' do.
  TranslateResult r = translate_test::translateRun(source.str().c_str(), markers);
  std::printf("== statement records ==\n%s== error records ==\n%s== status %d ==\n",
              translate_test::recordsText(r).c_str(), translate_test::errorsText(r).c_str(), r.status);
  return 0;
}
