// Registry reader over the driver file that stands in for the registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "IniReader.h"

using namespace qen_util;

namespace {

std::string str(const ACE_CString& s)
{
  return std::string(s.c_str(), s.length());
}

std::string makeFolder(const std::string& name)
{
  std::string dir = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  ::mkdir(dir.c_str(), 0755);
  return dir;
}

}  // namespace

TEST(QENRegIniReaderTest, ReadsDriverEntries)
{
  std::string dir = makeFolder("odbcsys_present");
  std::ofstream(dir + "/odbcinst.ini", std::ios::trunc)
      << "; drivers\n"
         "[QEN Driver]\n"
         "Description = The driver\n"
         "Driver=/usr/lib/libqen.so\n"
         "Trace = Yes\n"
         "Port = 5000x\n"
         "\n"
         "[Other]\n"
         "Driver = other.so\n";
  ::setenv("ODBCSYSINI", dir.c_str(), 1);
  ::unsetenv("ODBCINSTINI");

  QENRegIniReader reader;
  EXPECT_EQ("The driver", str(reader.getStringValue("QEN Driver", "Description")));
  EXPECT_EQ("/usr/lib/libqen.so", str(reader.getStringValue("QEN Driver", "DRIVER")));
  EXPECT_EQ("other.so", str(reader.getStringValue("other", "Driver")));
  EXPECT_TRUE(reader.getBooleanValue("QEN Driver", "Trace"));
  EXPECT_EQ(5000, reader.getIntValue("QEN Driver", "Port"));
  EXPECT_EQ(5000u, reader.getUnsignedValue("QEN Driver", "Port"));
  EXPECT_TRUE(reader.verifySection("QEN Driver"));

  try {
    reader.getStringValue("QEN Driver", "Missing");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section QEN Driver key Missing\n", str(e.getErrorMsg()));
  }
  try {
    reader.getStringValue("Nope", "Driver");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section Nope\n", str(e.getErrorMsg()));
  }
  EXPECT_THROW(reader.verifySection("Nope"), QENFileException);
  EXPECT_EQ("d", str(reader.getStringValue("Nope", "Driver", ACE_CString("d"))));
  EXPECT_EQ(7, reader.getIntValue("Nope", "Port", 7));
  EXPECT_THROW(reader.verifySection("QEN Driver\\Sub"), QENFileException);
}

TEST(QENRegIniReaderTest, OtherDriverFileByName)
{
  std::string dir = makeFolder("odbcsys_named");
  std::ofstream(dir + "/drivers.ini", std::ios::trunc) << "[D]\nk=v\n";
  ::setenv("ODBCSYSINI", dir.c_str(), 1);
  ::setenv("ODBCINSTINI", "drivers.ini", 1);
  QENRegIniReader reader;
  EXPECT_EQ("v", str(reader.getStringValue("D", "k")));
}

TEST(QENRegIniReaderTest, MissingFileIsAnEmptyRegistry)
{
  std::string dir = makeFolder("odbcsys_empty");
  ::setenv("ODBCSYSINI", dir.c_str(), 1);
  ::unsetenv("ODBCINSTINI");
  QENRegIniReader reader;
  try {
    reader.getStringValue("QEN Driver", "Driver");
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Error section QEN Driver\n", str(e.getErrorMsg()));
  }
  EXPECT_FALSE(reader.getBooleanValue("QEN Driver", "Trace", false));
}
