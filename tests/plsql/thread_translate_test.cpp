// Translations run in several threads at once: each thread allocates from a
// current pool of its own, so the runs neither share nor free each other's
// memory, and each gives what it gives alone.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "run_pool.h"
#include "shell_command.h"
#include "translate_fixture.h"

namespace {

// Sources with statements, error records, or both.
const char* const kSources[] = {
    "BEGIN\n  x := 1;\n  IF x > 0 THEN\n    y := x * 2;\n  END IF;\nEND;\n",
    ("CREATE OR REPLACE PROCEDURE p(a NUMBER) IS\n  n NUMBER;\nBEGIN\n  SELECT COUNT(*) INTO n FROM t WHERE c = a;\n"
     "EXCEPTION\n  WHEN NO_DATA_FOUND THEN NULL;\nEND;\n"),
    "BEGIN NULL END;\nBEGIN x := 1; END;\n",
};

std::string runText(const char* source) {
  TranslateResult r = translate_test::translateRun(source, true);
  return std::to_string(r.status) + "\n" + translate_test::recordsText(r) + translate_test::errorsText(r);
}

// Runs each source alone, then 20 times in each of two threads at once, the
// two walking the sources in opposite orders: each run in a thread gives
// what the source gave alone. run(id, i) runs source i in thread id (9 alone).
template <class Run>
void expectTwoThreadsAsEachAlone(Run run) {
  const size_t n = std::size(kSources);
  std::vector<std::string> alone;
  for (size_t i = 0; i < n; ++i) alone.push_back(run(9, i));
  std::vector<std::string> failures[2];
  auto worker = [&](int id) {
    for (size_t round = 0; round < 20; ++round) {
      size_t i = id == 0 ? round % n : n - 1 - round % n;
      if (run(id, i) != alone[i]) failures[id].push_back("source " + std::to_string(i));
    }
  };
  std::thread first(worker, 0);
  std::thread second(worker, 1);
  first.join();
  second.join();
  EXPECT_EQ(failures[0], std::vector<std::string>());
  EXPECT_EQ(failures[1], std::vector<std::string>());
}

TEST(ThreadTranslate, TwoThreadsTranslateAtOnceAsEachAlone) {
  expectTwoThreadsAsEachAlone([](int, size_t i) {
    std::string text = runText(kSources[i]);
    return poolCurrent() == nullptr ? text : "pool left current";
  });
  EXPECT_EQ(poolCurrent(), nullptr);
}

// Each thread's dump is its own: two dumps written at once are each whole.
TEST(ThreadTranslate, TwoThreadsDumpAtOnceAsEachAlone) {
  expectTwoThreadsAsEachAlone([](int id, size_t i) {
    std::string path = ::testing::TempDir() + "thread_dump_" + std::to_string(id) + ".xml";
    TranslateOptions options;
    setCommandLineDefaults(&options);
    options.astFile = path.c_str();
    TranslateResult r = translateCore(kSources[i], &options);
    std::string text = std::to_string(r.status) + "\n" + qen_test::read_file(path);
    std::remove(path.c_str());
    return text;
  });
}

TEST(ThreadTranslate, ACurrentPoolIsTheCallingThreadsOwn) {
  OwnedPool mine(poolCreateCurrent(nullptr));
  ASSERT_EQ(poolCurrent(), mine.get());
  Pool* seen = mine.get();
  std::thread other([&] {
    seen = poolCurrent();
    // A translation in the other thread leaves this thread's pool current here.
    runText(kSources[0]);
  });
  other.join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(poolCurrent(), mine.get());
}

// The heap ceiling is one for all threads: blocks that two threads take at
// once fill it together, to the byte.
TEST(ThreadTranslate, ThreadsShareTheHeapCeiling) {
  const size_t block = 64 + ((sizeof(PoolBlock) + 7) & ~size_t(7));
  poolSetHeapLimit(poolHeapInUse() + 2 * offsetof(Pool, slabs) + 1000 * block + block / 2);
  int taken[2] = {0, 0};
  std::atomic<int> full{0};
  auto fill = [&](int id) {
    Pool* pool = poolNew(nullptr);
    while (poolAllocIn(pool, 64)) ++taken[id];
    ++full;
    while (full.load() < 2) std::this_thread::yield();  // hold the blocks until the other is full too
    poolDestroy(pool);
  };
  std::thread first(fill, 0);
  std::thread second(fill, 1);
  first.join();
  second.join();
  poolSetHeapLimit(0);
  EXPECT_EQ(taken[0] + taken[1], 1000);
}

}  // namespace
