// The uninstaller started the way Windows starts it: Wine's own "uninstaller"
// program (Add/Remove Programs) lists the uninstall entry and runs its
// "UninstallString".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace {
using namespace vkp::e2e;

TEST(UninstallEntry, WinesUninstallerListsTheEntryAndRunsItsUninstallString) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Install(kRadioCom1));

  const RunResult list = s.Prefix().Wine({"uninstaller", "--list"});
  ASSERT_TRUE(list.ok()) << list.err;
  EXPECT_NE(list.out.find("NORVEKA VKP-M200 Windows Driver V2.0.2"), std::string::npos) << list.out;

  // "--remove" takes the entry's key name and starts its UninstallString.
  const pid_t remover = s.Prefix().StartWine({"uninstaller", "--remove", "NORVEKA_VKP-M200"});
  ASSERT_GT(remover, 0);
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 30000, true));
  ASSERT_EQ(s.UninstallerRows(1).size(), 1u);
  ASSERT_TRUE(s.Ui().Click(kUninstallerTitle, kUninstallButton));
  // The restart question, answered No, ends the uninstaller.
  const std::optional<std::string> question = s.Ui().Answer(kUninstallerCaption, 7, 120000);
  ASSERT_TRUE(question.has_value());
  EXPECT_EQ(question->rfind("Restarting your computer can take effect.", 0), 0u);
  EXPECT_TRUE(s.Prefix().Wait(remover, 30000).has_value()) << "Wine's uninstaller ends after ours";
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey));
  const RunResult after = s.Prefix().Wine({"uninstaller", "--list"});
  EXPECT_EQ(after.out.find("NORVEKA VKP-M200"), std::string::npos) << after.out;
}

}  // namespace
