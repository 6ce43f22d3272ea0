// Every file of the T-SQL corpus through the host program: it exits with
// status 0 or 1, without a crash or a sanitizer report, and leaves a
// well-formed XML report.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host_report_fixture.h"

namespace fs = std::filesystem;

TEST(CorpusHost, EveryFileGivesAWellFormedReportWithoutACrash) {
#ifndef QEN_HOST_PATH
  GTEST_SKIP() << "no host program";
#else
  std::vector<fs::path> files = qen_test::tsql_corpus_files();
  if (files.empty()) GTEST_SKIP() << "no corpus in " << QEN_SHARED_DIR;
  const bool lint = qen_test::works("xmllint --version");
  if (!lint) RecordProperty("xmllint", "absent: reports not checked");
  fs::path report = fs::path(QEN_TEST_TMP_DIR) / "corpus_report.xml";
  int accepted = 0;
  for (auto& f : files) {
    qen_test::CorpusRun r = qen_test::corpus_run(f, report);
    const qen_test::HostProcess& host = r.host;
    ASSERT_EQ(host.signal, 0) << f << ": " << host.err;
    EXPECT_TRUE(host.status == 0 || host.status == 1) << f << " status " << host.status << ": " << host.err;
    EXPECT_EQ(host.err.find("Sanitizer"), std::string::npos) << f << ": " << host.err;
    EXPECT_EQ(host.err.find("runtime error"), std::string::npos) << f << ": " << host.err;
    if (host.status == 0) ++accepted;
    if (lint) {
      EXPECT_TRUE(r.lint.exited && r.lint.status == 0) << f << ": " << r.lint.output;
    }
  }
  RecordProperty("files", (int)files.size());
  RecordProperty("accepted", accepted);
#endif
}
