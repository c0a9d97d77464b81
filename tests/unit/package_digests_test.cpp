#include "installer/pure/PackageDigests.h"

#include <gtest/gtest.h>

#include <string>

namespace vkp {
namespace {

const std::string kA(64, 'a');
const std::string kB = "0123456789ABCDEF0123456789abcdef0123456789ABCDEF0123456789abcdef";

TEST(PackageDigests, ReadsEveryLineOfTheList) {
  PackageDigests list;
  std::string error;
  ASSERT_TRUE(list.Parse(kA + "  VKPM200.inf\r\n" + kB + "  Driver64\\VKMON200.dll\n\n" + kA +
                             "  Driver32\\VKMON200.dll",
                         error))
      << error;
  ASSERT_EQ(list.Entries().size(), 3u);
  EXPECT_EQ(list.Entries()[1].path, "Driver64\\VKMON200.dll");
  EXPECT_EQ(list.Entries()[1].digest[0], 0x01);
  EXPECT_EQ(list.Entries()[1].digest[7], 0xEF);
  EXPECT_EQ(list.Entries()[1].digest[31], 0xef);
  EXPECT_EQ(list.Entries()[0].digest[5], 0xaa);
  ASSERT_NE(list.Find("driver64\\vkmon200.DLL"), nullptr) << "letter case is ignored";
  EXPECT_EQ(list.Find("driver64\\vkmon200.DLL")->path, "Driver64\\VKMON200.dll");
  EXPECT_EQ(list.Find("Driver64\\VKPRO200.dll"), nullptr);
}

TEST(PackageDigests, ARunNeedsTheFilesBesideTheInstallerAndItsArchitecturesOnly) {
  PackageDigests list;
  std::string error;
  ASSERT_TRUE(list.Parse(kA + "  VKPM200.inf\n" + kA + "  Driver64\\A.dll\n" + kA + "  Driver32\\A.dll\n" + kA +
                             "  Driver640\\B.dll\n" + kA + "  driver64\\C.dll\n",
                         error));
  std::string paths;
  for (const PackageDigest& entry : list.NeededWith("Driver64")) paths += entry.path + ";";
  EXPECT_EQ(paths, "VKPM200.inf;Driver64\\A.dll;driver64\\C.dll;");
  paths.clear();
  for (const PackageDigest& entry : list.NeededWith("Driver32")) paths += entry.path + ";";
  EXPECT_EQ(paths, "VKPM200.inf;Driver32\\A.dll;");
}

TEST(PackageDigests, RefusesWhatIsNoListOfThePackagesFiles) {
  const std::string refused[] = {
      "",                                          // nothing listed
      "\r\n\n",                                    // the same
      kA + " VKPM200.inf",                         // one space
      kA + "  ",                                   // no path
      kA.substr(1) + "  VKPM200.inf",              // 63 digits
      kA + "a  VKPM200.inf",                       // 65 digits
      std::string(63, 'a') + "g  VKPM200.inf",     // not hex
      kA + "  C:\\Windows\\evil.dll",              // a drive
      kA + "  \\Windows\\evil.dll",                // from the root
      kA + "  Driver64\\..\\..\\evil.dll",         // out of the folder
      kA + "  Driver64\\\\A.dll",                  // an empty name
      kA + "  Driver64/A.dll",                     // the other slash
      kA + "  Driver64\\A.dll ",                   // a name Windows would shorten
      kA + "  A\tB.dll",                           // a control character
      kA + "  VKPM200.inf\n" + kB + "  vkpm200.INF",  // the same file twice
  };
  for (const std::string& text : refused) {
    PackageDigests list;
    std::string error;
    EXPECT_FALSE(list.Parse(text, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_TRUE(list.Entries().empty()) << text;
  }
  PackageDigests list;
  std::string error;
  EXPECT_FALSE(list.Parse(kA + "  VKPM200.inf\n" + kA + " Driver64\\A.dll\n", error));
  EXPECT_EQ(error, "line 2 is not \"<64 hex digits>  <relative path>\"");
}

}  // namespace
}  // namespace vkp
