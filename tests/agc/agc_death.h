#ifndef QEN_TESTS_AGC_DEATH_H
#define QEN_TESTS_AGC_DEATH_H

// Death tests of the runtime's fatal exits: those write to standard output,
// while GoogleTest matches the child's standard error, so the child sends
// its standard output there first.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

inline void agc_stdout_to_stderr() {
  fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
}

#define EXPECT_EXIT_STDOUT(statement, predicate, regex) \
  EXPECT_EXIT(                                          \
      {                                                 \
        agc_stdout_to_stderr();                         \
        statement;                                      \
      },                                                \
      predicate, regex)

// The pool module's fatal exit at a given line.
#define EXPECT_SMP_FATAL(statement, line)                                   \
  EXPECT_EXIT_STDOUT(statement, ::testing::ExitedWithCode(1),               \
                     "^fatal error: file agc\\\\smp, line " #line "\n$")

#endif
