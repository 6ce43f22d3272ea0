// Library manager: loading a module, finding symbols, fatal misuse.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <ace/DLL_Manager.h>

#include "LibraryManager.h"

using namespace qen_util;

TEST(LibraryManagerDeathTest, CloseBeforeAnyLoadEndsProcess)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(LibraryManager::instance()->close("x"), testing::ExitedWithCode(1), "");
}

TEST(LibraryManagerDeathTest, SymbolWithoutHandleEndsProcess)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(LibraryManager::instance()->getProcAddr(nullptr, "qen_sample_answer"),
              testing::ExitedWithCode(1), "");
}

TEST(LibraryManagerTest, LoadsModuleAndFindsSymbols)
{
  LibraryManager* manager = LibraryManager::instance();
  ASSERT_NE(nullptr, manager);
  EXPECT_EQ(manager, LibraryManager::instance());

  ACE_DLL_Handle* handle = manager->load(QEN_SAMPLE_MODULE_PATH);
  ASSERT_NE(nullptr, handle);
  void* symbol = manager->getProcAddr(handle, "qen_sample_answer");
  ASSERT_NE(nullptr, symbol);
  EXPECT_EQ(42, reinterpret_cast<int (*)()>(symbol)());
  EXPECT_EQ(nullptr, manager->getProcAddr(handle, "qen_no_such_symbol"));
  EXPECT_EQ(nullptr, manager->getProcAddr(handle, nullptr));
  EXPECT_EQ(0, manager->close(QEN_SAMPLE_MODULE_PATH));
  // Closed as often as it was loaded, it is as unknown as any other name.
  EXPECT_EQ(-1, manager->close(QEN_SAMPLE_MODULE_PATH));
  EXPECT_EQ(-1, manager->close("/nonexistent/libnever_loaded.so"));

  ASSERT_EQ(handle, manager->load(QEN_SAMPLE_MODULE_PATH));
  ASSERT_EQ(handle, manager->load(QEN_SAMPLE_MODULE_PATH));
  EXPECT_EQ(0, manager->close(QEN_SAMPLE_MODULE_PATH));
  EXPECT_EQ(0, manager->close(QEN_SAMPLE_MODULE_PATH));
  EXPECT_EQ(-1, manager->close(QEN_SAMPLE_MODULE_PATH));
}

TEST(LibraryManagerTest, MissingLibraryGivesNoHandle)
{
  LibraryManager* manager = LibraryManager::instance();
  EXPECT_EQ(nullptr, manager->load("/nonexistent/libnothing_here.so"));
  EXPECT_EQ(nullptr, manager->load(nullptr));
  EXPECT_EQ(-1, manager->close(nullptr));
}

TEST(LibraryManagerTest, ThreadsLoadTogether)
{
  LibraryManager* manager = LibraryManager::instance();
  std::vector<ACE_DLL_Handle*> handles(4, nullptr);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < handles.size(); ++t)
    threads.emplace_back([manager, &handles, t] { handles[t] = manager->load(QEN_SAMPLE_MODULE_PATH); });
  for (std::thread& thread : threads)
    thread.join();
  for (ACE_DLL_Handle* handle : handles)
    EXPECT_TRUE(handle != nullptr && handle == handles[0]);
  for (std::size_t t = 0; t < handles.size(); ++t)
    EXPECT_EQ(0, manager->close(QEN_SAMPLE_MODULE_PATH));
  EXPECT_EQ(-1, manager->close(QEN_SAMPLE_MODULE_PATH));
}
