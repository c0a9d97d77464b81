// The uninstaller end to end, started as Windows starts it from the uninstall
// entry, after real installations in fresh prefixes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace {
using namespace vkp::e2e;

constexpr unsigned kCancelId = 2;
const std::string kModelPrinterKey = std::string(kPrintersKey) + "\\" + kModel;

// A printer of another maker's driver, as the spooler keeps it.
void AddOtherPrinter(InstallerSession& s) {
  const std::string key = std::string(kPrintersKey) + "\\Office Laser";
  ASSERT_TRUE(s.Prefix().Wine({"reg", "add", key, "/v", "Name", "/d", "Office Laser", "/f"}).ok());
  ASSERT_TRUE(s.Prefix().Wine({"reg", "add", key, "/v", "Printer Driver", "/d", "Generic Laser", "/f"}).ok());
  ASSERT_TRUE(s.Prefix().Wine({"reg", "add", key, "/v", "Port", "/d", "FILE:", "/f"}).ok());
}

// Two printers of the model ("NORVEKA VKP-M200" on COM1, "(#1)" on COM2) and
// one of another driver, on 32-bit XP through the direct path; then the
// uninstaller, started as the uninstall entry starts it, up on the screen.
void StartOverTwoPrinters(InstallerSession& s, ProgramRun*& run) {
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Install(kRadioCom1));
  // The same version, so that the second installation adds a printer.
  ASSERT_TRUE(s.SetPrinterVersion(kModel, kThisVersion));
  ASSERT_TRUE(s.InstallAnotherPrinter(kRadioCom2));
  ASSERT_TRUE(s.RegKeyExists(kModelPrinterKey + "(#1)"));
  AddOtherPrinter(s);
  run = &s.StartUninstaller();
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 30000, true));
}

// A second start brings the first one's window forward and ends.
void ExpectSecondStartActivates(InstallerSession& s, const std::string& window) {
  ProgramRun second(s.Prefix(), kUninstallerWin, "C:\\windows\\VKP-M200", "second");
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.WaitExit(20000), std::optional<unsigned long>(1618));
  EXPECT_EQ(s.Ui().Foreground(), std::optional<std::string>(window));
}

bool Enabled(InstallerSession& s, unsigned id) {
  const auto control = s.Ui().FindControl(kUninstallerTitle, id);
  return control && control->enabled;
}

TEST(Uninstaller, ListsOnlyTheModelsPrintersSortedAndChecked) {
  InstallerSession s("win32", "winxp");
  ProgramRun* run = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartOverTwoPrinters(s, run));
  s.Ui().WaitControlText(kUninstallerTitle, kUninstallButton, "Uninstall", 2000);
  const std::vector<ListRow> rows = s.UninstallerRows(2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, "NORVEKA VKP-M200");
  EXPECT_EQ(rows[1].text, "NORVEKA VKP-M200(#1)");
  EXPECT_EQ(rows[0].data, 1u);
  EXPECT_EQ(rows[1].data, 1u);
  EXPECT_TRUE(Enabled(s, kUninstallButton));

  ASSERT_TRUE(s.Ui().Do({"toggle", kUninstallerTitle, std::to_string(kPrinterList), "0"}).ok());
  ASSERT_TRUE(s.Ui().Do({"toggle", kUninstallerTitle, std::to_string(kPrinterList), "1"}).ok());
  EXPECT_FALSE(Enabled(s, kUninstallButton)) << "nothing checked";
  ASSERT_TRUE(s.Ui().Do({"toggle", kUninstallerTitle, std::to_string(kPrinterList), "1"}).ok());
  EXPECT_TRUE(Enabled(s, kUninstallButton)) << "one checked";

  ASSERT_NO_FATAL_FAILURE(ExpectSecondStartActivates(s, kUninstallerTitle));

  ASSERT_TRUE(s.Ui().Click(kUninstallerTitle, kCancelId));
  EXPECT_EQ(run->WaitExit(20000), std::optional<unsigned long>(1602));
  EXPECT_TRUE(s.RegKeyExists(kModelPrinterKey)) << "Cancel removes nothing";
}

TEST(Uninstaller, OneOfTwoCheckedDeletesOnlyThatPrinter) {
  InstallerSession s("win32", "winxp");
  ProgramRun* run = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartOverTwoPrinters(s, run));
  ASSERT_EQ(s.UninstallerRows(2).size(), 2u);
  ASSERT_TRUE(s.Ui().Do({"toggle", kUninstallerTitle, std::to_string(kPrinterList), "0"}).ok());  // keep the first
  ASSERT_TRUE(s.Ui().Click(kUninstallerTitle, kUninstallButton));
  // The completion text stays 2 s before the program ends by itself: too
  // short to be seen from outside on a slow machine, so the in-process tests
  // hold its text and pause.
  const std::vector<std::string> boxes = s.AnswerUninstallerUntilExit(false, 90000);
  EXPECT_EQ(run->WaitExit(30000), std::optional<unsigned long>(0));
  EXPECT_TRUE(boxes.empty()) << "no question: " << ::testing::PrintToString(boxes);
  EXPECT_FALSE(s.RegKeyExists(kModelPrinterKey + "(#1)"));
  EXPECT_TRUE(s.RegKeyExists(kModelPrinterKey));
  EXPECT_TRUE(s.RegKeyExists(kDriverKey32)) << "the driver stays";
  EXPECT_TRUE(s.RegKeyExists(kUninstallKey));
}

TEST(Uninstaller, AllCheckedRemovesEverythingAndAsksForTheRestart) {
  InstallerSession s("win32", "winxp");
  ProgramRun* run = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartOverTwoPrinters(s, run));
  ASSERT_EQ(s.UninstallerRows(2).size(), 2u);
  ASSERT_TRUE(s.Ui().Click(kUninstallerTitle, kUninstallButton));
  // While the removal runs: Escape does nothing, Close is gone.
  ASSERT_TRUE(s.Ui().WaitControlText(kUninstallerTitle, kUninstallerProgressText, "Deleting printer-driver objects...",
                                     20000) == "Deleting printer-driver objects...");
  EXPECT_TRUE(s.Ui().Do({"key", kUninstallerTitle, "27"}).ok());
  EXPECT_EQ(s.Ui().SysmenuHasClose(kUninstallerTitle), std::optional<bool>(false));
  EXPECT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 1000, true)) << "Escape did not close it";

  const std::vector<std::string> boxes = s.AnswerUninstallerUntilExit(false, 120000);
  EXPECT_EQ(run->WaitExit(30000), std::optional<unsigned long>(3010));
  ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxes);
  EXPECT_EQ(boxes[0].rfind("Restarting your computer can take effect.", 0), 0u);

  EXPECT_FALSE(s.RegKeyExists(kModelPrinterKey));
  EXPECT_FALSE(s.RegKeyExists(kModelPrinterKey + "(#1)"));
  EXPECT_TRUE(s.RegKeyExists(std::string(kPrintersKey) + "\\Office Laser")) << "another driver's printer stays";
  EXPECT_FALSE(s.RegKeyExists(kDriverKey32));
  EXPECT_FALSE(s.RegKeyExists("HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\ZEM Language Monitor VKP-M200"));
  EXPECT_FALSE(s.RegKeyExists(
      "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\ZEM PRINT PROCESSOR VKP-M200"));
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey));
  EXPECT_TRUE(s.OemInfsOfTheModel().empty());
  EXPECT_FALSE(s.FileExists("C:\\windows\\system32\\VKPM200_Config.ZEM"));
  EXPECT_FALSE(s.FileExists("C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\VKP200.GPD"));
  const std::string pending = s.RegValue("HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
                                         "PendingFileRenameOperations");
  EXPECT_TRUE(!s.FileExists("C:\\windows\\VKP-M200") || pending.find("VKPM200_Uninstaller.exe") != std::string::npos)
      << "the running uninstaller goes at the next restart";
}

TEST(Uninstaller, ADriverWithoutPrintersIsRemovedAtOnce) {
  InstallerSession s("win64", "win10");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Install(kRadioUsb));  // USB: the driver, no printer object
  ProgramRun& run = s.StartUninstaller();
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 30000, true));
  // Nobody chose anything: the removal runs to its end by itself. (Its steps'
  // texts pass too fast for an outside observer on a slow machine; the
  // in-process tests check them and their pauses.)
  EXPECT_EQ(s.Ui().WaitControlText(kUninstallerTitle, kUninstallerProgressText,
                                   "The uninstallation has been completed.", 60000),
            "The uninstallation has been completed.");
  EXPECT_FALSE(Enabled(s, kCancelId)) << "Cancel stays disabled once the removal began";
  const std::vector<std::string> boxes = s.AnswerUninstallerUntilExit(false, 120000);
  EXPECT_EQ(run.WaitExit(30000), std::optional<unsigned long>(3010));
  EXPECT_EQ(boxes.size(), 1u) << "only the restart question";
  EXPECT_FALSE(s.RegKeyExists(kDriverKey64));
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey));
}

TEST(Uninstaller, NothingInstalledSaysSoAndRemovesTheEntry) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Prefix().Wine({"reg", "add", kUninstallKey, "/v", "DisplayName", "/d", "stale", "/f"}).ok());
  ASSERT_TRUE(s.Prefix().CopyIn(Config::Get().DistDir() + "/VKPM200_Uninstaller.exe", kUninstallerWin));
  ProgramRun& run = s.StartUninstaller();
  // While the first shows its message, a second start brings that box forward.
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerCaption, 30000, true));
  ASSERT_NO_FATAL_FAILURE(ExpectSecondStartActivates(s, kUninstallerCaption));
  const std::vector<std::string> boxes = s.AnswerUninstallerUntilExit(false, 60000);
  EXPECT_EQ(run.WaitExit(20000), std::optional<unsigned long>(0));
  EXPECT_EQ(boxes, (std::vector<std::string>{"The VKP-M200 driver does not exist on this system."}));
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey));
}

}  // namespace
