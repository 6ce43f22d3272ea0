// INI reader: loading, the throwing and defaulting getters, conversions.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "IniReader.h"

using namespace qen_util;

namespace {

std::string str(const ACE_CString& s)
{
  return std::string(s.c_str(), s.length());
}

std::string tmpFile(const std::string& name, const std::string& content)
{
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/ini_reader_" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  return path;
}

int frameCount(const QENException& e)
{
  testing::internal::CaptureStdout();
  std::string trace = str(e.printStackTrace());
  testing::internal::GetCapturedStdout();
  int lines = 0;
  for (char c : trace)
    lines += c == '\n';
  return lines - 1;  // without the header line
}

const char kSample[] =
    "[MAIN]\n"
    "name=alpha\n"
    "empty=\n"
    "t1=yes\nt2=TRUE\nt3=Y\nt4=1\nt5=yEs\n"
    "f1=2\nf2=no\nf3=on\nf4=0\n"
    "num=42abc\nneg=-17\nnotnum=abc\n"
    "big=4000000000\n"
    "real=2.5x\n"
    "[OTHER]\n"
    "k=v\n";

}  // namespace

TEST(IniReaderTest, MissingFileDefaultsAndThrows)
{
  IniReader reader("/nonexistent/missing.ini");
  EXPECT_EQ("dflt", str(reader.getStringValue("MAIN", "name", ACE_CString("dflt"))));
  EXPECT_TRUE(reader.getBooleanValue("MAIN", "t1", true));
  EXPECT_FALSE(reader.getBooleanValue("MAIN", "t1", false));
  EXPECT_EQ(-5, reader.getIntValue("MAIN", "num", -5));

  try {
    reader.getStringValue("MAIN", "name");
    FAIL() << "no exception";
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error with ini file /nonexistent/missing.ini: No such file or directory\n", str(e.getErrorMsg()));
    EXPECT_EQ(2, frameCount(e));  // the load and the getter
  }
  // The typed getters read through the string getter and add their own frame.
  for (int which = 0; which < 4; ++which) {
    try {
      switch (which) {
        case 0: reader.getBooleanValue("MAIN", "t1"); break;
        case 1: reader.getIntValue("MAIN", "num"); break;
        case 2: reader.getDoubleValue("MAIN", "real"); break;
        default: reader.getUnsignedValue("MAIN", "big"); break;
      }
      FAIL() << "no exception from getter " << which;
    } catch (const QENFileException& e) {
      EXPECT_EQ("Error with ini file /nonexistent/missing.ini: No such file or directory\n", str(e.getErrorMsg()));
      EXPECT_EQ(3, frameCount(e));
    }
  }
  try {
    reader.load();
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ(1, frameCount(e));
  }
}

TEST(IniReaderTest, SectionsAndKeys)
{
  IniReader reader(tmpFile("sections.ini", kSample).c_str());
  EXPECT_EQ("alpha", str(reader.getStringValue("MAIN", "name")));
  EXPECT_EQ("", str(reader.getStringValue("MAIN", "empty")));
  EXPECT_EQ("v", str(reader.getStringValue("OTHER", "k")));
  EXPECT_TRUE(reader.verifySection("OTHER"));

  try {
    reader.getStringValue("MAIN", "absent");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section MAIN key absent\n", str(e.getErrorMsg()));
    EXPECT_EQ(2, frameCount(e));
  }
  try {
    reader.getStringValue("NOPE", "k");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section NOPE\n", str(e.getErrorMsg()));
  }
  try {
    reader.verifySection("NOPE");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section NOPE\n", str(e.getErrorMsg()));
    EXPECT_EQ(2, frameCount(e));
  }
  EXPECT_EQ("d", str(reader.getStringValue("NOPE", "k", ACE_CString("d"))));
  EXPECT_EQ("d", str(reader.getStringValue("MAIN", "absent", ACE_CString("d"))));
  // Null names are failures, not crashes.
  EXPECT_EQ("d", str(reader.getStringValue(nullptr, "k", ACE_CString("d"))));
  EXPECT_EQ("d", str(reader.getStringValue("MAIN", nullptr, ACE_CString("d"))));
  EXPECT_THROW(reader.verifySection(nullptr), QENFileException);
}

TEST(IniReaderTest, BooleanTable)
{
  IniReader reader(tmpFile("bool.ini", kSample).c_str());
  for (const char* key : {"t1", "t2", "t3", "t4", "t5"})
    EXPECT_TRUE(reader.getBooleanValue("MAIN", key)) << key;
  for (const char* key : {"f1", "f2", "f3", "f4", "empty", "name"})
    EXPECT_FALSE(reader.getBooleanValue("MAIN", key, true)) << key;
  EXPECT_TRUE(reader.getBooleanValue("MAIN", "absent", true));
}

TEST(IniReaderTest, NumbersAsTheCRuntimeReadsThem)
{
  IniReader reader(tmpFile("num.ini", kSample).c_str());
  EXPECT_EQ(42, reader.getIntValue("MAIN", "num"));
  EXPECT_EQ(-17, reader.getIntValue("MAIN", "neg"));
  EXPECT_EQ(0, reader.getIntValue("MAIN", "notnum", 9));
  EXPECT_EQ(0, reader.getIntValue("MAIN", "empty", 9));
  EXPECT_EQ(9, reader.getIntValue("MAIN", "absent", 9));
  EXPECT_EQ(0u, reader.getUnsignedValue("MAIN", "empty"));
  EXPECT_EQ(4000000000u, reader.getUnsignedValue("MAIN", "big"));
  EXPECT_EQ(42u, reader.getUnsignedValue("MAIN", "num"));
  EXPECT_DOUBLE_EQ(0.0, reader.getDoubleValue("MAIN", "empty"));
  EXPECT_DOUBLE_EQ(2.5, reader.getDoubleValue("MAIN", "real"));
  EXPECT_THROW(reader.getDoubleValue("MAIN", "absent"), QENFileException);
}

TEST(IniReaderTest, NumbersAtTheLimitsAndOneBeyond)
{
  IniReader reader(tmpFile("limits.ini",
                           "[LIMITS]\n"
                           "imax=2147483647\nimin=-2147483648\niover=2147483648\niunder=-2147483649\n"
                           "itail=2147483648abc\nipadded=00000000002147483647\n"
                           "umax=4294967295\numin=0\nuover=4294967296\nuunder=-1\numinuszero=-0\n"
                           "far=99999999999999999999999\n")
                       .c_str());
  // A number that does not fit fails like an unreadable key; the defaulted
  // getter gives its default.
  const struct { const char* key; bool fits; int value; } ints[] = {
      {"imax", true, 2147483647}, {"imin", true, -2147483647 - 1}, {"iover", false, 0},
      {"iunder", false, 0},       {"itail", false, 0},             {"ipadded", true, 2147483647},
      {"umax", false, 0},         {"uover", false, 0},             {"uunder", true, -1},
      {"far", false, 0}};
  for (const auto& row : ints) {
    SCOPED_TRACE(row.key);
    if (row.fits) {
      EXPECT_EQ(row.value, reader.getIntValue("LIMITS", row.key));
      EXPECT_EQ(row.value, reader.getIntValue("LIMITS", row.key, 7));
      continue;
    }
    try {
      reader.getIntValue("LIMITS", row.key);
      FAIL() << "no exception";
    } catch (const QENFileException& e) {
      EXPECT_EQ(std::string("Error section LIMITS key ") + row.key + "\n", str(e.getErrorMsg()));
      EXPECT_EQ(ERROR, e.getSeverity());
    }
    EXPECT_EQ(7, reader.getIntValue("LIMITS", row.key, 7));
  }
  const struct { const char* key; bool fits; unsigned value; } unsigneds[] = {
      {"umax", true, 4294967295u}, {"umin", true, 0u},       {"uover", false, 0u},
      {"uunder", false, 0u},       {"uminuszero", true, 0u}, {"imin", false, 0u},
      {"iover", true, 2147483648u}, {"far", false, 0u}};
  for (const auto& row : unsigneds) {
    SCOPED_TRACE(row.key);
    if (row.fits) {
      EXPECT_EQ(row.value, reader.getUnsignedValue("LIMITS", row.key));
      continue;
    }
    try {
      reader.getUnsignedValue("LIMITS", row.key);
      FAIL() << "no exception";
    } catch (const QENFileException& e) {
      EXPECT_EQ(std::string("Error section LIMITS key ") + row.key + "\n", str(e.getErrorMsg()));
    }
  }
}

TEST(IniReaderTest, UnloadThenGetterFailsOnEmptyName)
{
  IniReader reader(tmpFile("unload.ini", kSample).c_str());
  EXPECT_EQ("alpha", str(reader.getStringValue("MAIN", "name")));
  reader.unload();
  EXPECT_EQ("", str(reader.getFileName()));
  try {
    reader.getStringValue("MAIN", "name");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error with ini file : No such file or directory\n", str(e.getErrorMsg()));
  }
}

TEST(IniReaderTest, ReloadsAfterFailureAndUnloadWithoutOldKeys)
{
  IniReader reader("/nonexistent/first.ini");
  EXPECT_THROW(reader.getStringValue("MAIN", "name"), QENFileException);
  reader.setFileName(tmpFile("reload1.ini", kSample).c_str());
  EXPECT_EQ("alpha", str(reader.getStringValue("MAIN", "name")));

  reader.unload();
  reader.setFileName(tmpFile("reload2.ini", "[MAIN]\nother=beta\n").c_str());
  EXPECT_EQ("beta", str(reader.getStringValue("MAIN", "other")));
  EXPECT_EQ("gone", str(reader.getStringValue("MAIN", "name", ACE_CString("gone"))));
  EXPECT_THROW(reader.verifySection("OTHER"), QENFileException);
}

TEST(IniReaderTest, FileNameAccessors)
{
  IniReader reader;
  EXPECT_EQ("", str(reader.getFileName()));
  EXPECT_EQ(&reader, &reader.setFileName("a.ini"));
  EXPECT_EQ("a.ini", str(reader.getFileName()));
  EXPECT_STREQ("qen_util::IniReader", IniReader::__className__);
}

TEST(IniReaderTest, BadLinesAreNamedAndSkippedAndTheRestIsRead)
{
  const std::string longValue(1 << 20, 'x');
  const std::string path = tmpFile("bad_lines.ini", std::string("\xEF\xBB\xBF[MAIN]\n") +
                                                        "name=alpha\n"
                                                        "stray words\n"
                                                        "long=" + longValue + "\n"
                                                        "[BROKEN\n"
                                                        "lost=1\n"
                                                        "[]\n"
                                                        "[OTHER]\n"
                                                        "k = \"quoted value\"\r\n"
                                                        "bad]name=1\n"
                                                        "nul=a" + std::string(1, '\0') + "b\n"
                                                        "  ; comment\n"
                                                        "after=yes");
  IniReader reader(path.c_str());
  testing::internal::CaptureStderr();
  reader.load();
  EXPECT_EQ(path + ", line 3: a line without '='; the line is skipped\n" +
                path + ", line 5: a section name without ']'; the line is skipped\n" +
                path + ", line 6: a key outside any section; the line is skipped\n" +
                path + ", line 7: not a valid section name; the line is skipped\n" +
                path + ", line 10: not a valid key name; the line is skipped\n" +
                path + ", line 11: a NUL byte in it; the line is skipped\n",
            testing::internal::GetCapturedStderr());
  EXPECT_EQ("alpha", str(reader.getStringValue("MAIN", "name")));
  EXPECT_EQ(longValue, str(reader.getStringValue("MAIN", "long")));
  EXPECT_EQ("quoted value", str(reader.getStringValue("OTHER", "k")));
  EXPECT_EQ("yes", str(reader.getStringValue("OTHER", "after")));
}
