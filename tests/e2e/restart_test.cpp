// Runs that end in a restart request, each in its own throw-away prefix,
// observed from outside by this driver (a Linux process).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace {
using namespace vkp::e2e;

// A restart ends the Windows session: Windows then ends every process; Wine
// (asked without EWX_FORCE) tells every application and leaves them running.
// The sample dialog notes the session's end in a file.
std::unique_ptr<ProgramRun> StartSessionWitness(InstallerSession& s) {
  EXPECT_TRUE(s.Prefix().CopyIn(Config::Get().SampleExe(), "C:\\vkp-sample\\vkp_robot_sample.exe"));
  auto run = std::make_unique<ProgramRun>(s.Prefix(), "C:\\vkp-sample\\vkp_robot_sample.exe", "C:\\vkp-sample",
                                          "witness");
  EXPECT_TRUE(run->Start());
  EXPECT_TRUE(s.Ui().WaitWindow("VKP Robot Sample", 20000, true));
  return run;
}

bool SessionEnded(InstallerSession& s) {
  for (int i = 0; i < 100; ++i) {
    if (s.FileExists("C:\\vkp-sample\\session-ended.txt")) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(Restart, YesToTheRestartQuestionEndsThePrefixsProcesses) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  const auto witness = StartSessionWitness(s);
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(kRadioCom1));
  Answers yes;
  yes.restart = true;
  const std::vector<std::string> boxes = s.AnswerUntilExit(yes, 60000);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("Restarting your computer can take effect.", 0), 0u);
  EXPECT_TRUE(SessionEnded(s)) << "the restart was requested";
  // The request only starts the restart; the installer finishes its closing steps.
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(1641));
  const std::string trace = s.Trace();
  EXPECT_NE(trace.find("RegisterUninstallInfo END"), std::string::npos) << "installed before the restart";
  EXPECT_TRUE(s.RegKeyExists(kUninstallKey));
}

// A printer of the model carrying an older version: it is removed, the
// restart is announced and requested, and nothing is installed in this run.
TEST(Restart, AnOlderVersionIsRemovedAndTheRestartRequested) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Install(kRadioCom1));
  ASSERT_TRUE(s.SetPrinterVersion(kModel, {"2", "0", "1", "9"}));

  const auto witness = StartSessionWitness(s);
  ASSERT_TRUE(s.Start("replace"));
  ASSERT_TRUE(s.ChoosePort(kRadioCom2));
  const std::vector<std::string> boxes = s.AnswerUntilExit({}, 120000);
  ASSERT_EQ(boxes.size(), 2u) << ::testing::PrintToString(boxes);
  EXPECT_EQ(boxes[0].rfind("There is a different version driver in this system.", 0), 0u) << boxes[0];
  EXPECT_EQ(boxes[1].rfind("The installer has successfully removed the different version.", 0), 0u) << boxes[1];
  EXPECT_TRUE(SessionEnded(s)) << "the restart was requested";
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(1641));
  EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel)) << "the older printer is gone";
  EXPECT_FALSE(s.RegKeyExists(kDriverKey32));
  EXPECT_EQ(s.Trace().find("AddToWin2K BEGIN"), std::string::npos) << "nothing installed in this run";
}

}  // namespace
