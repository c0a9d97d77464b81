// The Windows Installer package (build/dist/VKPM200.msi) under Wine's own
// msiexec, as Group Policy, Intune or Configuration Manager run it: quiet,
// with the public properties, judged by msiexec's exit code, then removed by
// its product code; and the installations it must refuse or roll back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "tests/e2e/Matrix.h"
#include "tests/e2e/Residue.h"

namespace {
using namespace vkp::e2e;

constexpr const char* kMsiWin = "C:\\vkp-e2e\\VKPM200.msi";
constexpr const char* kMsiexecWin = "C:\\windows\\system32\\msiexec.exe";
constexpr const char* kPoliciesKey = "HKLM\\Software\\Policies\\Microsoft";
constexpr const char* kProtectedPrintKey = "HKLM\\Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";

// The product code the build gave this version (scripts/lib/msi.sh writes
// the package's WiX source next to it).
std::string ProductCode() {
  std::ifstream wxs(Config::Get().sourceDir + "/build/msi/VKPM200.wxs");
  std::stringstream text;
  text << wxs.rdbuf();
  std::smatch match;
  const std::string source = text.str();
  return std::regex_search(source, match, std::regex(R"re(<Product Id="(\{[0-9A-F-]+\})")re")) ? match[1].str() : "";
}

std::string ProgramFolderWin(const TestSystem& os) {
  return std::string(os.arch == std::string("win64") ? "C:\\Program Files (x86)" : "C:\\Program Files") +
         "\\VKPM200";
}

std::string ProductEntry() {
  return "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + ProductCode();
}

struct MsiRun {
  std::optional<unsigned long> exitCode;
  std::string log;
};

// msiexec ARGS... /qn /l*v C:\vkp-e2e\TAG.log, to its end.
MsiRun Msiexec(InstallerSession& s, const std::string& tag, std::vector<std::string> args) {
  const std::string log = "C:\\vkp-e2e\\" + tag + ".log";
  for (const char* a : {"/qn", "/l*v"}) args.push_back(a);
  args.push_back(log);
  ProgramRun run(s.Prefix(), kMsiexecWin, "C:\\vkp-e2e", tag, args);
  MsiRun result;
  if (!run.Start()) return result;
  result.exitCode = run.WaitExit(300000);
  result.log = s.Prefix().ReadFile(log).value_or("");
  return result;
}

// A fresh prefix with the stand-ins and the package in it, and its state
// before anything ran.
struct PackagePrefix {
  explicit PackagePrefix(const TestSystem& os) : s(os.arch, os.winver) {
    ok = s.Ok() && !ProductCode().empty() &&
         s.Prefix().CopyIn(Config::Get().DistDir() + "/../VKPM200.msi", kMsiWin);
    if (ok) before = TakeSnapshot(s);
  }
  InstallerSession s;
  bool ok = false;
  Snapshot before;
};

void InstallThenRemove(const TestSystem& os) {
  PackagePrefix prefix(os);
  ASSERT_TRUE(prefix.ok);
  InstallerSession& s = prefix.s;

  const MsiRun install = Msiexec(s, "msi-install", {"/i", kMsiWin, "PORT=WLAN", "IP=192.168.0.20"});
  // The installer, quiet, leaves the restart it needs to the deployment tool.
  ASSERT_EQ(install.exitCode, std::optional<unsigned long>(3010)) << install.log;
  const std::string print = "HKLM\\System\\CurrentControlSet\\Control\\Print\\";
  const std::string environment = os.arch == std::string("win64") ? "Windows x64" : "Windows NT x86";
  EXPECT_EQ(s.RegValue(std::string(kPrintersKey) + "\\" + kModel, "Port"), "IP_192.168.0.20");
  EXPECT_TRUE(s.RegKeyExists(print + "Environments\\" + environment + "\\Drivers\\Version-3\\" + kModel));
  EXPECT_TRUE(s.RegKeyExists(print + "Monitors\\ZEM Language Monitor VKP-M200"));
  EXPECT_TRUE(s.RegKeyExists(print + "Environments\\" + environment + "\\Print Processors\\ZEM PRINT PROCESSOR VKP-M200"));
  EXPECT_TRUE(s.FileExists(ProgramFolderWin(os) + "\\VKPM200_Installer.exe"));
  // One entry in Apps & Features: the package's; the installer's own is a system component.
  EXPECT_EQ(s.RegValue(ProductEntry(), "DisplayName", 32), "NORVEKA VKP-M200 Windows Driver");
  EXPECT_EQ(s.RegValue(kUninstallKey, "SystemComponent"), "0x1");
  // Wine's msiexec names no log in MsiLogFileLocation, so the installer
  // writes no second log there (its trace is in C:\Temp as always).
  EXPECT_NE(install.log.find("VKPM200: VKPM200_Installer ended with 3010: \"" + ProgramFolderWin(os) +
                             "\\VKPM200_Installer.exe\" /quiet /norestart /port=WLAN /ip=192.168.0.20\n"),
            std::string::npos)
      << install.log;

  const MsiRun removal = Msiexec(s, "msi-remove", {"/x", ProductCode()});
  EXPECT_EQ(removal.exitCode, std::optional<unsigned long>(3010)) << removal.log;
  EXPECT_FALSE(s.FileExists(ProgramFolderWin(os))) << "the package's files stay";
  EXPECT_FALSE(s.RegKeyExists(ProductEntry(), 32)) << "the package stays registered";
  const std::vector<std::string> unexplained = Unexplained(prefix.before, TakeSnapshot(s));
  EXPECT_TRUE(unexplained.empty()) << ::testing::PrintToString(unexplained);
}

void RefusedAndRolledBack(const TestSystem& os) {
  PackagePrefix prefix(os);
  ASSERT_TRUE(prefix.ok);
  InstallerSession& s = prefix.s;

  // A bad value: refused before anything changes, the reason in msiexec's log.
  const MsiRun bad = Msiexec(s, "msi-bad", {"/i", kMsiWin, "PORT=WLAN", "IP=192.168.0.256"});
  EXPECT_EQ(bad.exitCode, std::optional<unsigned long>(1603)) << bad.log;
  EXPECT_NE(bad.log.find("VKPM200: The properties PORT, IP and TCPPORT give no valid port"), std::string::npos)
      << bad.log;
  EXPECT_EQ(bad.log.find("VKPM200_Installer ended"), std::string::npos) << "the installer ran";

  // The installer refuses (protected print mode): the transaction fails and
  // Windows Installer takes its files back.
  ASSERT_TRUE(s.Prefix().Wine({"reg", "add", kProtectedPrintKey, "/v", "WindowsProtectedPrintMode", "/t",
                               "REG_DWORD", "/d", "1", "/f", "/reg:64"}).ok());
  const MsiRun refused = Msiexec(s, "msi-refused", {"/i", kMsiWin, "PORT=COM1"});
  EXPECT_EQ(refused.exitCode, std::optional<unsigned long>(1603)) << refused.log;
  EXPECT_NE(refused.log.find("VKPM200: VKPM200_Installer ended with 1603"), std::string::npos) << refused.log;
  if (s.FileExists(ProgramFolderWin(os))) {
    std::string left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(s.Prefix().Path(ProgramFolderWin(os))))
      left += " " + entry.path().filename().string();
    // Whether a removal Wine deferred (a handle still open) or one that failed.
    for (const long long end = DeadlineAfter(10000); s.FileExists(ProgramFolderWin(os)) && NowMs() < end;)
      std::this_thread::sleep_for(std::chrono::seconds(1));
    ADD_FAILURE() << "left after the rollback: " << ProgramFolderWin(os) << left
                  << (s.FileExists(ProgramFolderWin(os)) ? " (still there after a wait)" : " (gone after a wait)");
  }
  EXPECT_FALSE(s.RegKeyExists(ProductEntry(), 32));
  ASSERT_TRUE(s.Prefix().Wine({"reg", "delete", kPoliciesKey, "/f", "/reg:64"}).ok());
  std::vector<std::string> unexplained = Unexplained(prefix.before, TakeSnapshot(s));
  // Wine's rollback leaves the components' registration behind (Windows'
  // takes it back with the files); nothing else may stay.
  const std::regex components(R"(left   REG software\\microsoft\\windows\\currentversion\\installer\\userdata\\s-1-5-18\\components\\[0-9a-f]{32})");
  unexplained.erase(std::remove_if(unexplained.begin(), unexplained.end(),
                                   [&](const std::string& entry) { return std::regex_match(entry, components); }),
                    unexplained.end());
  EXPECT_TRUE(unexplained.empty()) << ::testing::PrintToString(unexplained);
}

TEST(MsiPackage, InstallThenRemoveWin10x64) { InstallThenRemove(kWin10x64); }
TEST(MsiPackage, InstallThenRemoveXp32) { InstallThenRemove(kXp32); }
TEST(MsiPackage, RefusedAndRolledBackWin10x64) { RefusedAndRolledBack(kWin10x64); }
TEST(MsiPackage, RefusedAndRolledBackXp32) { RefusedAndRolledBack(kXp32); }

}  // namespace
