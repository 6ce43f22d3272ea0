// The internal thread layer: failures log their messages at level 4 when the
// level in effect lets them through, and answer with an error number.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ag_thread.h"

using namespace qen_ag;

namespace {

std::vector<std::pair<int, std::string>> g_logged;
void recorder(int level, const char *text) { g_logged.emplace_back(level, text); }

class ThreadLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_logged.clear();
    set_current_context(nullptr);
    context_set_default_log(recorder, 2);
  }
  void TearDown() override {
    inject_failure(fail_next::none);
    set_current_context(nullptr);
    context_set_default_log(nullptr, 2);
  }
};

TEST_F(ThreadLayerTest, MutexOperations) {
  ag_mutex m = nullptr;
  ASSERT_EQ(mutex_init(&m), 0);
  EXPECT_EQ(mutex_lock(m), 0);
  EXPECT_EQ(mutex_unlock(m), 0);
  EXPECT_EQ(mutex_destroy(&m), 0);
  EXPECT_EQ(m, nullptr);
  EXPECT_TRUE(g_logged.empty());

  EXPECT_EQ(mutex_lock(m), 22);
  EXPECT_EQ(mutex_unlock(m), 22);
  EXPECT_EQ(mutex_destroy(&m), 22);
  inject_failure(fail_next::mutex_init);
  EXPECT_EQ(mutex_init(&m), 22);
  EXPECT_EQ(m, nullptr);
  const std::vector<std::pair<int, std::string>> expected = {
      {4, "pthread_mutex_lock(WINDOWS): Failed to lock mutex"},
      {4, "pthread_mutex_unlock(WINDOWS): Failed to unlock mutex"},
      {4, "pthread_mutex_destroy(WINDOWS): Failed to destroy mutex"},
      {4, "pthread_mutex_init(WINDOWS): Failed to create new mutex"}};
  EXPECT_EQ(g_logged, expected);
}

TEST_F(ThreadLayerTest, LevelFiveContextSilencesFailures) {
  st_context c{};
  c.log_level = 5;
  c.log_callback = recorder;
  ASSERT_EQ(set_current_context(&c), 0);
  EXPECT_EQ(mutex_lock(nullptr), 22);
  EXPECT_TRUE(g_logged.empty());
  c.log_level = 4;
  EXPECT_EQ(mutex_lock(nullptr), 22);
  EXPECT_EQ(g_logged.size(), 1u);
  // Without a context the default level decides.
  set_current_context(nullptr);
  context_set_default_log(recorder, 5);
  EXPECT_EQ(mutex_unlock(nullptr), 22);
  EXPECT_EQ(g_logged.size(), 1u);
  EXPECT_EQ(log_level_in_effect(), 5);
}

TEST_F(ThreadLayerTest, SlotAndKeyFailures) {
  st_context c{};
  inject_failure(fail_next::set_specific);
  EXPECT_EQ(context_remember(&c), 22);
  EXPECT_EQ(context_get(), nullptr);
  ASSERT_EQ(g_logged.size(), 1u);
  EXPECT_EQ(g_logged[0].second, "pthread_setspecific(WINDOWS): Failed to set value for key 0");
  EXPECT_EQ(context_remember(&c), 0);
  EXPECT_EQ(context_get(), &c);
  set_current_context(nullptr);

  // The only test of this program that starts the library.
  ASSERT_FALSE(key_created());
  inject_failure(fail_next::key_create);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(lib_one_time_init(), 12);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "from pthread_key_create: Cannot allocate memory\n");
  EXPECT_EQ(g_logged.back(),
            std::make_pair(4, std::string("pthread_key_create(WINDOWS): Unable to allocate Thread Local "
                                          "Storage (TLS) key")));
  EXPECT_EQ(lib_one_time_init(), 0);
  EXPECT_TRUE(key_created());
  EXPECT_EQ(lib_one_time_init(), 0);
}

}  // namespace
