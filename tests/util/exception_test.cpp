// Exception family: texts, frames, stack traces and rethrow growth.
#include <gtest/gtest.h>

#include <string>

#include "IniReader.h"
#include "QENException.h"

using namespace qen_util;

namespace {

// Reaches the protected constructors of the base class.
class TestException : public QENException
{
public:
  TestException() = default;
  explicit TestException(const char* msg) : QENException(msg) {}
};

std::string str(const ACE_CString& s)
{
  return std::string(s.c_str(), s.length());
}

std::string traceOf(const QENException& e)
{
  testing::internal::CaptureStdout();
  std::string returned = str(e.printStackTrace());
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(returned + "\n", printed);
  return returned;
}

}  // namespace

TEST(QENExceptionTest, FullConstructorGivesOneFrame)
{
  QENFileException e("src/a.cpp", 42, ERROR, "x");
  EXPECT_EQ("x\n", str(e.getErrorMsg()));
  EXPECT_EQ(ERROR, e.getSeverity());
  EXPECT_EQ(42, e.getLineNumber());
  EXPECT_EQ("src/a.cpp", str(e.getFileName()));
  EXPECT_EQ("Exception Stack Trace\nFile: src/a.cpp, Line: 42.\n", traceOf(e));

  QENFileException w("b.cpp", 7, WARNING, ACE_CString("from string"));
  EXPECT_EQ("from string\n", str(w.getErrorMsg()));
  EXPECT_EQ(WARNING, w.getSeverity());
}

TEST(QENExceptionTest, ConstructorsWithoutFrames)
{
  TestException plain;
  EXPECT_EQ("\n", str(plain.getErrorMsg()));
  EXPECT_EQ(0, plain.getLineNumber());
  EXPECT_EQ("", str(plain.getFileName()));
  EXPECT_EQ("", traceOf(plain));

  TestException msg("only text");
  EXPECT_EQ("only text\n", str(msg.getErrorMsg()));
  EXPECT_EQ(ERROR, msg.getSeverity());
  EXPECT_EQ("Exception Stack Trace\n", traceOf(msg));
  EXPECT_EQ(0, msg.getLineNumber());

  QENFileException file;
  EXPECT_EQ("\n", str(file.getErrorMsg()));
}

TEST(QENExceptionTest, SettersAndCopies)
{
  QENFileException e("f.cpp", 1, ERROR, "x");
  e.setErrorMsg("y");
  EXPECT_EQ("y", str(e.getErrorMsg()));
  e.setSeverity(CRITICAL);
  EXPECT_EQ(CRITICAL, e.getSeverity());

  QENFileException copy(e);
  e.addStack("g.cpp", 2);
  EXPECT_EQ("y", str(copy.getErrorMsg()));
  EXPECT_EQ("Exception Stack Trace\nFile: f.cpp, Line: 1.\n", traceOf(copy));

  QENFileException assigned;
  assigned = e;
  EXPECT_EQ(CRITICAL, assigned.getSeverity());
  EXPECT_EQ("Exception Stack Trace\nFile: f.cpp, Line: 1.\nFile: g.cpp, Line: 2.\n",
            traceOf(assigned));
}

TEST(QENExceptionTest, StackGrowsAtEachRethrowAndKeepsThrowSite)
{
  try {
    try {
      try {
        throw QENFileException("throw.cpp", 10, ERROR, "deep");
      } catch (QENFileException& e) {
        e.addStack("first.cpp", 20);
        throw QENFileException(e);
      }
    } catch (QENFileException& e) {
      e.addStack("second.cpp", 30);
      throw QENFileException(e);
    }
  } catch (QENException& e) {
    EXPECT_EQ(10, e.getLineNumber());
    EXPECT_EQ("throw.cpp", str(e.getFileName()));
    EXPECT_EQ("deep\n", str(e.getErrorMsg()));
    EXPECT_EQ("Exception Stack Trace\n"
              "File: throw.cpp, Line: 10.\n"
              "File: first.cpp, Line: 20.\n"
              "File: second.cpp, Line: 30.\n",
              traceOf(e));
  }
}

TEST(QENExceptionTest, GenerateStringFormatsAndCuts)
{
  EXPECT_EQ("Error section S key K", str(QENException::generateString("Error section %s key %s", "S", "K")));
  std::string big(3000, 'a');
  ACE_CString cut = QENException::generateString("%s", big.c_str());
  EXPECT_EQ(2047u, cut.length());
  EXPECT_EQ(big.substr(0, 2047), str(cut));
  EXPECT_EQ("", str(QENException::generateString(nullptr)));
}

TEST(QENExceptionTest, OverlongFileNameIsCutNotOverrun)
{
  std::string path(5000, 'p');
  QENFileException e(path.c_str(), 5, ERROR, "m");
  std::string trace = traceOf(e);
  std::string line = trace.substr(std::string("Exception Stack Trace\n").size());
  EXPECT_EQ(2047u + 1u, line.size());  // cut line plus its end of line
  EXPECT_EQ(path, str(e.getFileName()));
  EXPECT_EQ(5, e.getLineNumber());
}

TEST(QENExceptionTest, ThrownInsideLibraryCaughtAsBase)
{
  IniReader reader("/nonexistent/dir/none.ini");
  bool caught = false;
  try {
    reader.getStringValue("S", "K");
  } catch (const QENException& e) {
    caught = true;
    EXPECT_NE(nullptr, dynamic_cast<const QENFileException*>(&e));
    EXPECT_EQ("Error with ini file /nonexistent/dir/none.ini: No such file or directory\n", str(e.getErrorMsg()));
    EXPECT_EQ(ERROR, e.getSeverity());
  }
  EXPECT_TRUE(caught);
}
