// The installer's removal of a different driver version: its reduced
// sequence, its quieter steps and the failed printer enumeration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/RemovalEngine.h"
#include "removal/RemovalSequences.h"
#include "support/SystemProbes.h"
#include "tests/wine/removal_harness.h"
#include "ui/SystemText.h"

namespace vkp {
namespace {

using removal::Variant;
using test::FakeOs;
using test::Timeline;
using test::TraceHasEntry;
using test::TraceHasFragment;

class InstallerRemoval : public test::RemovalTest<test::ProgressWindow> {
 protected:
  InstallerRemoval() : RemovalTest(Variant::Installer, "VKP-M200_Installer.txt", "VKPM200_Installer") {}
  long long Run() {
    return test::RunToExit([this] { removal::RemoveInstalledDriver(*host); });
  }
};

TEST_F(InstallerRemoval, ReducedSequenceTimeline) {
  message.KeepHistory();
  FakeOs os;
  Timeline timeline(os, message, window.bar);

  EXPECT_EQ(Run(), -1) << "returns to the installation worker";

  const std::vector<std::string> expected = {
      "sleep 1000 [Removing printer-driver...] 18",
      "exec net stop spooler",
      "sleep 2000 [Removing printer-driver...] 18",
      "exec net start spooler",
      "sleep 2000 [Removing printer-driver...] 18",
      "exec net stop spooler",
      "sleep 1500 [Removing printer-driver...] 18",
      "exec net start spooler",
      "sleep 2000 [Removing printer-driver...] 18",
      "sleep 500 [Deleting Vid & Pid info...] 18",
      "sleep 500 [Deleting information of LPT and USB...] 18",
      "sleep 500 [Deleting PNP directories...] 18",
      std::string("sleep 1000 [") + test::kCompleted + "] 100",
  };
  EXPECT_EQ(timeline.Events(), expected);
  EXPECT_EQ(message.History(),
            (std::vector<std::string>{"Deleting printer-objects...", "Removing printer-driver...",
                                      "Deleting Vid & Pid info...", "Deleting information of LPT and USB...",
                                      "Deleting PNP directories...", test::kCompleted}));

  const std::vector<std::string> order = {
      "RemoveDrivers BEGIN",     "RemoveFromOS BEGIN",        "DeleteForms BEGIN",
      "DeletePrinterDrv BEGIN",  "DeleteLanguageMonitor BEGIN", "DeleteProcessor BEGIN",
      "DeleteFilesUsed BEGIN",   "DeleteFilesUsed END",       "DeleteINFFile BEGIN",
      "DeleteUninstallationInfo BEGIN", "RemoveFromOS END",   "DeleteVidPid BEGIN",
      "Delete_LPT_USB_Info BEGIN", "Delete_LPT_USB_Info END", "DeletePrnDrvPnPDirectory BEGIN",
      "RemoveDrivers END"};
  EXPECT_TRUE(test::TraceHasInOrder(order));
  for (const char* absent : {"DeletePrinterDriverEx returned FALSE.", "KEY NAME : ", "The key name was not found.",
                             "RegKey : ", "PrinterDriverDirectory : ", "WindowsDirectory : ",
                             "DeleteUninstallInfoFromReg BEGIN", "DeleteInstalledDirectory BEGIN",
                             "RemovePrinterObjects BEGIN", "DeleteDriverComponent BEGIN"})
    EXPECT_FALSE(TraceHasFragment(absent)) << absent;
  EXPECT_TRUE(TraceHasEntry(is64 ? "SECTION NAME : NORVEKA.NTamd64" : "SECTION NAME : NORVEKA"))
      << "the maker comes from the installer's own table";

  // Every file of the table but the rendering DLL of the version-3 folder.
  std::vector<std::string> files;
  for (const auto& call : os.CallsOf("DeleteFileA"))
    if (call.args[0].find("VKMON200") == std::string::npos && call.args[0].find("VKPRO200") == std::string::npos)
      files.push_back(call.args[0]);
  const std::string windows = test::WindowsDirectory();
  ASSERT_FALSE(files.empty());
  EXPECT_EQ(files.front(), windows + "\\VKP200.dll");
  EXPECT_EQ(files.back(), windows + "\\VKUI200.INI");
  EXPECT_EQ(files.size(), is64 ? 13u : 9u) << "5 in the Windows folder, 4 per driver folder";
  for (const std::string& file : files) EXPECT_EQ(file.find("\\3\\VKP200.dll"), std::string::npos) << file;
}

PRINTER_INFO_2A Printer(const char* name, const char* driver) {
  PRINTER_INFO_2A printer{};
  printer.pPrinterName = const_cast<char*>(name);
  printer.pDriverName = const_cast<char*>(driver);
  return printer;
}

TEST_F(InstallerRemoval, OnlyPrintersOfTheModelsDriverAreDeleted) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.Replace<&PlatformApi::EnumPrintersA>(
      [](DWORD flags, LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) -> BOOL {
        EXPECT_EQ(flags, static_cast<DWORD>(PRINTER_ENUM_LOCAL));
        EXPECT_EQ(level, 2u);
        return test::AnswerEnumeration<PRINTER_INFO_2A>(
            {Printer("Other", "Generic"), Printer("Ours", "NORVEKA VKP-M200"), Printer("Lower", "norveka vkp-m200")},
            buffer, size, needed, returned);
      });
  EXPECT_EQ(Run(), -1);
  const auto opened = os.CallsOf("OpenPrinterA");
  ASSERT_GE(opened.size(), 1u);
  // The first open is the printer's (by name); the next is DeleteForms' server.
  EXPECT_EQ(opened[0].args[0], "<buffer>");
  EXPECT_EQ(opened.size(), 2u) << "one printer object, then the print server";
  EXPECT_EQ(opened[1].args[0], "(null)");
}

TEST_F(InstallerRemoval, FailedPrinterEnumerationShowsTheErrorAndEnds) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.FailNth("EnumPrintersA", 0, RPC_S_SERVER_UNAVAILABLE);
  EXPECT_EQ(Run(), 1603);
  ASSERT_EQ(timeline.BoxTexts().size(), 1u);
  EXPECT_EQ(timeline.BoxTexts()[0], "EnumPrinters Error Code: 1722\n\n" + ui::SystemErrorText(1722));
  EXPECT_FALSE(ui::SystemErrorText(1722).empty());
  EXPECT_EQ(timeline.Events(), std::vector<std::string>{"box 48 VKPM200_Installer"});
  EXPECT_EQ(os.CountOf("DeletePrinterDriverExA"), 0);
  EXPECT_EQ(os.CountOf("DeleteFileA"), 0);
  EXPECT_EQ(os.CountOf("OpenPrinterA"), 0);
  EXPECT_EQ(test::TraceIndexOf("RemoveDrivers BEGIN"), -1);
}

TEST_F(InstallerRemoval, MonitorIsNotRetriedAndTheDriverFailureIsNotTraced) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.FailNth("DeleteMonitorA", 1, RPC_S_SERVER_UNAVAILABLE);
  os.FailNth("DeletePrintProcessorA", 1, RPC_S_SERVER_UNAVAILABLE);
  removal::RemovalEngine engine(*host);
  engine.DeleteLanguageMonitor();
  engine.DeleteProcessor();
  EXPECT_EQ(os.CountOf("DeleteMonitorA"), 1);
  EXPECT_EQ(os.CountOf("DeletePrintProcessorA"), is64 ? 2 : 1);
  EXPECT_TRUE(TraceHasEntry("DeleteMonitor Error : (1722)"));
  EXPECT_TRUE(timeline.Events().empty()) << "no texts, no pauses, no spooler start";

  os.FailNth("DeletePrinterDriverExA", 0, ERROR_ACCESS_DENIED);
  engine.DeletePrinterDrv("VKP-M200");
  EXPECT_FALSE(TraceHasFragment("DeletePrinterDriverEx returned FALSE."));
  EXPECT_EQ(os.CountOf("DeletePrinterDriverExA"), is64 ? 2 : 1);
}

TEST_F(InstallerRemoval, EveryPlatformCallMayFail) {
  std::vector<std::string> names;
  {
    FakeOs os;
    Timeline timeline(os, message, window.bar);
    ASSERT_EQ(Run(), -1);
    // EnumPrintersA's failure ends the sequence by design (tested above).
    names = test::CalledFunctions(os, {"EnumPrintersA"});
  }
  ASSERT_GT(names.size(), 20u);
  const auto lines = test::SharedFailureLines();

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    InitTraceLog();
    NewHost();
    // Registered as the installation leaves it, so that a refused deletion counts.
    for (const std::string& environment : test::ModelEnvironments(is64))
      test::CreateKey(test::View64(is64), test::ProcessorKeyOf(environment));
    FakeOs os;
    Timeline timeline(os, message, window.bar);
    os.FailNth(name, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(Run(), -1);
    EXPECT_GE(os.CountOf(name), 1);
    EXPECT_TRUE(TraceHasEntry("RemoveDrivers END")) << "the removal went on to its end";
    EXPECT_TRUE(test::TracesFailureOf(name, lines));
  }
}

TEST_F(InstallerRemoval, RemovesTheModelFromTheSpooler) {
  test::RegisterModelWithSpooler(is64, "NORVEKA VKP-M200");
  ASSERT_EQ(test::PrintersOfModel(), std::vector<std::string>{"NORVEKA VKP-M200"});
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  EXPECT_EQ(Run(), -1);
  test::ExpectModelGoneFromSpooler(is64);
}

}  // namespace
}  // namespace vkp
