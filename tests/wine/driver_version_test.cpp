#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "installer/DriverVersion.h"
#include "installer/InstallEngine.h"
#include "platform/WinHeaders.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/ConfigFiles.h"
#include "tests/wine/SpoolerObjects.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

constexpr char kDriver[] = "NORVEKA VKP-M200";
constexpr char kProcessor[] = "ZEM PRINT PROCESSOR VKP-M200";

using test::DriverFiles;
using test::SpoolerObjects;

int Check() { return CheckInstalledVersion(kDriver, kProcessor, 2, 0, 2, 0); }

TEST(CheckInstalledVersion, NothingInstalledGives2) { EXPECT_EQ(Check(), 2); }

TEST(CheckInstalledVersion, ComparesThePrintersVersionPartByPart) {
  struct Row {
    std::vector<long long> version;
    int expected;
  };
  const Row rows[] = {
      {{2, 0, 2, 0}, 3},   {{2, 0, 1, 9}, 0},   {{2, 1, 0, 0}, 1},  {{1, 9, 9, 9}, 0},
      {{3, 0, 0, 0}, 1},   {{2, 0, 2, 1}, 1},   {{2, 0, 3, 0}, 1},  {{2, 0, 2, -1}, 0},
      {{-1, -1, -1, 0}, 0},  // unread values count as 0: the installed version is older
  };
  for (const Row& row : rows) {
    SpoolerObjects spooler;
    spooler.RegisterDriver(kDriver);
    spooler.RegisterPrinter("Receipt", kDriver, row.version);
    EXPECT_EQ(Check(), row.expected) << row.version[0] << "." << row.version[1] << "." << row.version[2] << "."
                                     << row.version[3];
  }
}

TEST(CheckInstalledVersion, OnlyTheFirstPrinterOfTheModelInEnumerationOrderCounts) {
  SpoolerObjects spooler;
  spooler.RegisterDriver(kDriver);
  spooler.RegisterDriver("Other Driver");
  spooler.RegisterPrinter("Alpha", "Other Driver", {9, 9, 9, 9});
  spooler.RegisterPrinter("Newer", kDriver, {2, 1, 0, 0});
  spooler.RegisterPrinter("Same", kDriver, {2, 0, 2, 0});

  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count));
  std::string first;
  for (DWORD i = 0; i < count && first.empty(); ++i) {
    const auto& printer = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())[i];
    if (std::string(printer.pDriverName) == kDriver) first = printer.pPrinterName;
  }
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(Check(), first == "Newer" ? 1 : 3) << "first printer of the model: " << first;
}

// Without a printer, a driver is this version only when the model's own
// files, its data file and its plug-in, are the package's. The driver file is
// the universal driver's core, the same in every version: it decides nothing.
TEST(CheckInstalledVersion, ADriverWithoutPrinterIsThisVersionOnlyWhenItsModelFilesAreThePackages) {
  {
    SpoolerObjects spooler;
    spooler.RegisterDriver(kDriver);
    EXPECT_EQ(Check(), 0) << "driver without printer, no package to compare with";
    const DriverFiles installed = SpoolerObjects::FilesOf(kDriver);
    ASSERT_FALSE(installed.plugIn.empty()) << "the plug-in is among the dependent files";
    installed.Write("core", "gpd 2.0.2", "plug-in 2.0.2");
    CreateDirectoryA("package", nullptr);
    const DriverFiles packaged = DriverFiles::InFolder("package\\");
    const PackageFiles package{"package\\", "VKP200.GPD", "VKP200.dll", "VKP200PP.DLL"};
    struct Row {
      const char *core, *dataFile, *plugIn;
      int expected;
      std::vector<std::string> traced;
    };
    const Row rows[] = {
        {"core", "gpd 2.0.2", "plug-in 2.0.2", 3, {}},
        {"other core", "gpd 2.0.2", "plug-in 2.0.2", 3, {}},
        {"core", "gpd 2.0.1", "plug-in 2.0.2", 0, {"THE INSTALLED DRIVER'S VKP200.GPD IS NOT THIS PACKAGE'S"}},
        {"core", "gpd 2.0.2", "plug-in 2.0.1", 0, {"THE INSTALLED DRIVER'S VKP200.dll IS NOT THIS PACKAGE'S"}},
    };
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.core) + " / " + row.dataFile + " / " + row.plugIn);
      InitTraceLog();
      packaged.Write(row.core, row.dataFile, row.plugIn);
      EXPECT_EQ(CheckInstalledVersion(kDriver, kProcessor, 2, 0, 2, 0, false, &package), row.expected);
      EXPECT_EQ(test::TraceEntriesStartingWith("THE INSTALLED DRIVER'S "), row.traced);
    }
  }
  {
    SpoolerObjects spooler;
    spooler.RegisterDriver(kDriver, false);
    const DriverFiles installed = SpoolerObjects::FilesOf(kDriver);
    test::WriteFileText(installed.core, "core");
    test::WriteFileText(installed.dataFile, "gpd 2.0.2");
    DriverFiles::InFolder("package\\").Write("core", "gpd 2.0.2", "plug-in 2.0.2");
    const PackageFiles package{"package\\", "VKP200.GPD", "VKP200.dll", "VKP200PP.DLL"};
    InitTraceLog();
    EXPECT_EQ(CheckInstalledVersion(kDriver, kProcessor, 2, 0, 2, 0, false, &package), 0)
        << "no plug-in of the model among its files: another driver";
    EXPECT_EQ(test::TraceEntriesStartingWith("THE INSTALLED DRIVER'S "),
              std::vector<std::string>{"THE INSTALLED DRIVER'S VKP200.dll IS NOT THIS PACKAGE'S"});
  }
  EXPECT_EQ(Check(), 2) << "clean again";
}

// Wine's EnumPrintProcessors lists only its built-in processors, whatever is
// registered: the list comes from the seam.
void ListProcessors(test::FakeOs& os, std::vector<std::string> names) {
  os.Replace<&PlatformApi::EnumPrintProcessorsA>(
      [names](LPSTR, LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) -> BOOL {
        if (level != 1) return FALSE;
        DWORD bytes = static_cast<DWORD>(names.size() * sizeof(PRINTPROCESSOR_INFO_1A));
        for (const auto& name : names) bytes += static_cast<DWORD>(name.size() + 1);
        *needed = bytes;
        if (buffer == nullptr || size < bytes) {
          SetLastError(ERROR_INSUFFICIENT_BUFFER);
          return FALSE;
        }
        auto* items = reinterpret_cast<PRINTPROCESSOR_INFO_1A*>(buffer);
        char* text = reinterpret_cast<char*>(buffer + names.size() * sizeof(PRINTPROCESSOR_INFO_1A));
        for (std::size_t i = 0; i < names.size(); ++i) {
          std::memcpy(text, names[i].c_str(), names[i].size() + 1);
          items[i].pName = text;
          text += names[i].size() + 1;
        }
        *count = static_cast<DWORD>(names.size());
        return TRUE;
      });
}

TEST(CheckInstalledVersion, ThePrintProcessorAloneGives0UnlessItsFileIsThePackages) {
  test::FakeOs os;
  ListProcessors(os, {"winprint", kProcessor});
  EXPECT_EQ(Check(), 0);
  char directory[MAX_PATH] = "";
  DWORD needed = 0;
  ASSERT_TRUE(GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), MAX_PATH, &needed));
  CreateDirectoryA("package", nullptr);
  const PackageFiles package{"package\\", "VKP200.GPD", "VKP200.dll", "VKP200PP.DLL"};
  for (const char* bytes : {"same bytes", "other bytes"}) {
    test::WriteFileText(std::string(directory) + "\\VKP200PP.DLL", "same bytes");
    test::WriteFileText("package\\VKP200PP.DLL", bytes);
    EXPECT_EQ(CheckInstalledVersion(kDriver, kProcessor, 2, 0, 2, 0, false, &package),
              bytes == std::string("same bytes") ? 2 : 0)
        << bytes;
  }
  DeleteFileA((std::string(directory) + "\\VKP200PP.DLL").c_str());
  ListProcessors(os, {"winprint", "zem print processor vkp-m200"});
  EXPECT_EQ(Check(), 2) << "names differing in case do not match";
  ListProcessors(os, {});
  EXPECT_EQ(Check(), 2);
}

TEST(CheckInstalledVersion, NamesDifferingOnlyInCaseDoNotMatch) {
  SpoolerObjects spooler;
  spooler.RegisterDriver("norveka vkp-m200");
  spooler.RegisterPrinter("Receipt", "norveka vkp-m200", {2, 0, 2, 0});
  EXPECT_EQ(Check(), 2);
}

TEST(CheckInstalledVersion, ReleasesEveryPrinterItOpens) {
  SpoolerObjects spooler;
  spooler.RegisterDriver(kDriver);
  spooler.RegisterPrinter("Receipt", kDriver, {2, 0, 2, 0});
  test::FakeOs os;
  EXPECT_EQ(Check(), 3);
  EXPECT_EQ(os.CountOf("OpenPrinterA"), os.CountOf("ClosePrinter"));
  const auto opens = os.CallsOf("OpenPrinterA");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].args.at(0), "<buffer>") << "opened by a copy of the name";
}

TEST(PrinterDrvExistStep, FindsTheExactNameAndReportsItsStep) {
  InitTraceLog();
  SpoolerObjects spooler;
  spooler.RegisterDriver(kDriver);
  test::FakeOs os;
  InstallEngine engine;
  EXPECT_EQ(engine.PrinterDrvExist(kDriver), 1);
  EXPECT_EQ(engine.PrinterDrvExist("NORVEKA VKP-M20"), 0);
  EXPECT_EQ(engine.PrinterDrvExist("norveka vkp-m200"), 0);
  EXPECT_EQ(os.Sleeps(), (std::vector<DWORD>{500, 500, 500}));
  EXPECT_TRUE(test::TraceHasLines({"PrinterDrvExist BEGIN", "NORVEKA VKP-M200 PRINTER DRIVER EXISTS.",
                                   "NORVEKA VKP-M20 PRINTER DRIVER DOES NOT EXIST.", "PrinterDrvExist END"}));
}

TEST(PrinterDrvExistStep, AFailedEnumerationMeansNoDriver) {
  InitTraceLog();
  SpoolerObjects spooler;
  spooler.RegisterDriver(kDriver);
  test::FakeOs os;
  os.FailNth("EnumPrinterDriversA", 2, ERROR_OUTOFMEMORY);
  InstallEngine engine;
  EXPECT_EQ(engine.PrinterDrvExist(kDriver), 0);
}

}  // namespace
}  // namespace vkp
