// The uninstall entry and the INF store, in process against the prefix's
// registry and its C:\windows\inf folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/EngineHarness.h"
#include "tests/wine/TestProgram.h"
#include "tests/wine/TestRegistry.h"
#include "ui/SystemText.h"

namespace vkp {
namespace {

using test::EngineHarness;
using test::FakeOs;

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// ---- RegisterUninstallInfo ----

// The view the engine writes in for its 64-bit flag, and the other one.
REGSAM ViewFor(int is64Bit) { return is64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

bool ReadValue(REGSAM view, const char* name, std::string& value) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  char data[512] = "";
  DWORD size = sizeof data;
  DWORD type = 0;
  const LONG result = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return false;
  value = data;
  return true;
}

bool HasValue(REGSAM view, const char* name) {
  std::string ignored;
  return ReadValue(view, name, ignored);
}

// The entry's REG_SZ value `name` is `expected`.
void ExpectText(REGSAM view, const char* name, const std::string& expected) {
  std::string value;
  EXPECT_TRUE(ReadValue(view, name, value)) << name;
  EXPECT_EQ(value, expected) << name;
}

// A REG_DWORD value of the entry; 0 when missing or of another type.
DWORD ReadNumber(REGSAM view, const char* name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return 0;
  DWORD number = 0, size = sizeof number, type = 0;
  const LONG result = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD ? number : 0;
}

void DeleteTree(REGSAM view) {
  HKEY parent = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS)
    return;
  ::SHDeleteKeyA(parent, "NORVEKA_VKP-M200");
  ::RegCloseKey(parent);
}

class UninstallEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    Clean();
  }
  void TearDown() override { Clean(); }
  static void Clean() {
    DeleteTree(KEY_WOW64_64KEY);
    DeleteTree(KEY_WOW64_32KEY);
  }
  // Writes the entry as the engine of that bitness on Windows 7 does.
  static void RegisterEntry(int is64Bit) {
    EngineHarness harness(is64Bit, 2010);
    harness.engine.RegisterUninstallInfo();
  }
  // The engine's flag as the system would set it.
  const int is64Bit = test::RunsUnderWow64() ? 1 : 0;
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(UninstallEntryTest, WritesEveryValue) {
  // 1500 + 600 bytes of driver files and a 100-byte uninstaller: 3 KB.
  const std::string folder = test::CurrentDirectory() + "\\entry_size\\";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::CreateDirectoryA((folder + "Driver32").c_str(), nullptr);
  const std::string files[] = {folder + "Driver32\\a.dll", folder + "Driver32\\b.gpd",
                               folder + "VKPM200_Uninstaller.exe"};
  test::WriteFileText(files[0], std::string(1500, 'a'));
  test::WriteFileText(files[1], std::string(600, 'b'));
  test::WriteFileText(files[2], std::string(100, 'u'));
  FakeOs os;
  EngineHarness harness(is64Bit, 2010);
  harness.engine.strINFName = "C:\\windows\\inf\\oem7.inf";
  harness.engine.strSourceDir = folder;
  harness.engine.strDriverDir = folder + "Driver32\\";
  harness.engine.RegisterUninstallInfo();
  for (const std::string& file : files) ::DeleteFileA(file.c_str());
  ::RemoveDirectoryA((folder + "Driver32").c_str());
  ::RemoveDirectoryA(folder.c_str());

  std::string value;
  ASSERT_TRUE(ReadValue(ViewFor(is64Bit), "DisplayName", value));
  EXPECT_EQ(value, "NORVEKA VKP-M200 Windows Driver V2.0.2");
  ASSERT_TRUE(ReadValue(ViewFor(is64Bit), "UninstallString", value));
  EXPECT_EQ(value, test::WindowsDirectory() + "\\VKP-M200\\VKPM200_Uninstaller.exe");
  ASSERT_TRUE(ReadValue(ViewFor(is64Bit), "InfFile", value));
  EXPECT_EQ(value, "C:\\windows\\inf\\oem7.inf");
  const std::string uninstaller = test::WindowsDirectory() + "\\VKP-M200\\VKPM200_Uninstaller.exe";
  const std::pair<const char*, std::string> texts[] = {
      {"DisplayVersion", "2.0.2"}, {"Publisher", "NORVEKA"}, {"DisplayIcon", uninstaller},
      {"InstallLocation", test::WindowsDirectory() + "\\VKP-M200"},
      {"QuietUninstallString", "\"" + uninstaller + "\" /quiet"}};
  for (const auto& [name, expected] : texts) ExpectText(ViewFor(is64Bit), name, expected);
  EXPECT_EQ(ReadNumber(ViewFor(is64Bit), "EstimatedSize"), 3u);
  EXPECT_EQ(ReadNumber(ViewFor(is64Bit), "NoModify"), 1u);
  EXPECT_EQ(ReadNumber(ViewFor(is64Bit), "NoRepair"), 1u);

  std::vector<std::string> names;
  for (const auto& call : os.CallsOf("RegSetValueExA")) names.push_back(call.args[1]);
  EXPECT_EQ(names, (std::vector<std::string>{"DisplayName", "UninstallString", "InfFile", "DisplayVersion",
                                             "Publisher", "DisplayIcon", "InstallLocation", "EstimatedSize",
                                             "NoModify", "NoRepair", "QuietUninstallString"}));
  EXPECT_TRUE(test::TraceHasEntry(std::string("REGKEY : ") + kUninstallKey));
  EXPECT_TRUE(test::TraceHasEntry("RegisterUninstallInfo END"));
  EXPECT_EQ(os.CountOf("RegCloseKey"), 1) << "the created key is closed";
}

TEST_F(UninstallEntryTest, EmptyInfNameLeavesInfFileOut) {
  FakeOs os;
  EngineHarness harness(is64Bit, 2010);
  harness.engine.strINFName.clear();
  harness.engine.RegisterUninstallInfo();
  EXPECT_TRUE(HasValue(ViewFor(is64Bit), "DisplayName"));
  EXPECT_FALSE(HasValue(ViewFor(is64Bit), "InfFile"));
}

TEST_F(UninstallEntryTest, OlderEntryWithSubkeysIsDeletedFirst) {
  const REGSAM view = ViewFor(is64Bit);
  for (const char* below : {"", "\\Child\\GrandChild"})
    test::CreateKey(view, std::string(kUninstallKey) + below, "Stale", "old");
  FakeOs os;
  RegisterEntry(is64Bit);

  EXPECT_FALSE(HasValue(view, "Stale"));
  EXPECT_FALSE(test::KeyExists(view, std::string(kUninstallKey) + "\\Child"));
  ExpectText(view, "DisplayName", "NORVEKA VKP-M200 Windows Driver V2.0.2");
  ExpectText(view, "InfFile", "VKPM200.inf");  // no INF copied yet: the bare name
  EXPECT_TRUE(test::TraceEntriesStartingWith("MyRegDeleteKeyEx failed").empty());
  EXPECT_TRUE(test::TraceEntriesStartingWith("SHDeleteKey failed").empty());
  EXPECT_EQ(os.CountOf("SHDeleteKeyA"), is64Bit ? 0 : 1);
}

TEST_F(UninstallEntryTest, On64BitTheEntryGoesIntoThe64BitViewAndTheWow6432NodeTwinStays) {
  if (!test::RunsUnderWow64()) GTEST_SKIP() << "one registry view only in a 32-bit prefix";
  test::CreateKey(KEY_WOW64_32KEY, kUninstallKey, "Twin", "32-bit view");
  test::CreateKey(KEY_WOW64_64KEY, std::string(kUninstallKey) + "\\Child", "Stale", "old");
  FakeOs os;
  RegisterEntry(1);

  EXPECT_TRUE(HasValue(KEY_WOW64_64KEY, "DisplayName"));
  EXPECT_FALSE(test::KeyExists(KEY_WOW64_64KEY, std::string(kUninstallKey) + "\\Child"));
  std::string value;
  ASSERT_TRUE(ReadValue(KEY_WOW64_32KEY, "Twin", value));
  EXPECT_EQ(value, "32-bit view");
  EXPECT_FALSE(HasValue(KEY_WOW64_32KEY, "DisplayName"));
  for (const auto& call : os.CallsOf("RegCreateKeyExA"))
    EXPECT_EQ(std::stoul(call.args[5]) & KEY_WOW64_64KEY, static_cast<unsigned long>(KEY_WOW64_64KEY));
}

TEST_F(UninstallEntryTest, KeyThatCannotBeCreatedLeavesNoEntry) {
  FakeOs os;
  os.FailNth("RegCreateKeyExA", 1, ERROR_ACCESS_DENIED);
  RegisterEntry(is64Bit);

  EXPECT_FALSE(test::KeyExists(ViewFor(is64Bit), kUninstallKey));
  EXPECT_EQ(os.CountOf("RegSetValueExA"), 0);
  const std::string separator = is64Bit ? ", " : " , ";
  EXPECT_TRUE(test::TraceHasEntry(std::string("RegCreateKeyEx failed : ") + kUninstallKey + separator + "(5) "));
  EXPECT_TRUE(test::TraceHasEntry("RegisterUninstallInfo END"));
}

// ---- CopyINFFile and INFFileExist ----

const char kOurInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
    "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\nProvider=NORVEKA\r\n\r\n"
    "[Manufacturer]\r\nNORVEKA=NORVEKA,NTamd64\r\n\r\n"
    "[NORVEKA]\r\n\"NORVEKA VKP-M200\" = VKPM200,USBPRINT\\norveka_vkp_m2007c1e\r\n\r\n"
    "[NORVEKA.NTamd64]\r\n\"NORVEKA VKP-M200\" = VKPM200,USBPRINT\\norveka_vkp_m2007c1e\r\n";

const char kUnrelatedInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=SOMEONE\r\n\r\n"
    "[Manufacturer]\r\nSOMEONE=SOMEONE\r\n\r\n[SOMEONE]\r\n\"Some Printer\" = SOME\r\n";

std::string InfDir() { return test::WindowsDirectory() + "\\inf"; }

class InfStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    test::WriteFileText("VKPM200.inf", kOurInf);
  }
  void TearDown() override {
    for (const std::string& path : created_) ::DeleteFileA(path.c_str());
    ::DeleteFileA("VKPM200.inf");
  }
  // Puts an INF into the store; removed again after the test.
  void Seed(const std::string& name, const std::string& text) {
    const std::string path = InfDir() + "\\" + name;
    test::WriteFileText(path, text);
    created_.push_back(path);
  }
  void Forget(const std::string& path) {
    created_.push_back(path);
    std::string pnf = path;
    if (pnf.size() > 4) pnf.replace(pnf.size() - 4, 4, ".pnf");
    created_.push_back(pnf);
  }
  std::vector<std::string> created_;
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(InfStoreTest, CopyPutsTheInfIntoTheStoreUnderAnOemName) {
  // A different INF of our name in the store: the copy gets an oemN name, as Windows always gives.
  Seed("VKPM200.inf", kUnrelatedInf);
  FakeOs os;
  EngineHarness harness(0, 2010);
  harness.engine.CopyINFFile();
  Forget(harness.engine.strINFName);

  const std::string stored = Lower(harness.engine.strINFName);
  const std::string prefix = Lower(InfDir()) + "\\oem";
  ASSERT_EQ(stored.compare(0, prefix.size(), prefix), 0) << harness.engine.strINFName;
  EXPECT_EQ(stored.substr(stored.size() - 4), ".inf");
  EXPECT_EQ(test::ReadFileText(harness.engine.strINFName), kOurInf);

  const std::string source = test::CurrentDirectory() + "\\VKPM200.inf";
  EXPECT_EQ(test::TraceEntriesStartingWith("Inf File Name : "),
            (std::vector<std::string>{"Inf File Name : " + source, "Inf File Name : " + source}));
  EXPECT_TRUE(test::TraceHasEntry("INF FILE NAME : " + harness.engine.strINFName));
  const auto copies = os.CallsOf("SetupCopyOEMInfA");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].args[0], source) << "a full path";
  EXPECT_EQ(copies[0].args[2], std::to_string(SPOST_PATH));
  EXPECT_EQ(copies[0].args[3], std::to_string(SP_COPY_NOOVERWRITE));
  EXPECT_TRUE(os.MessageBoxes().empty());
}

TEST_F(InfStoreTest, CopyingTheSameInfAgainReplacesItAndKeepsItsName) {
  Seed("VKPM200.inf", kUnrelatedInf);
  EngineHarness first(0, 2010);
  first.engine.CopyINFFile();
  Forget(first.engine.strINFName);
  ASSERT_FALSE(first.engine.strINFName.empty());

  InitTraceLog();
  FakeOs os;
  EngineHarness second(0, 2010);
  second.engine.CopyINFFile();

  EXPECT_EQ(Lower(second.engine.strINFName), Lower(first.engine.strINFName));
  const auto copies = os.CallsOf("SetupCopyOEMInfA");
  ASSERT_EQ(copies.size(), 2u) << "the first attempt fails with ERROR_FILE_EXISTS";
  EXPECT_EQ(copies[0].args[3], std::to_string(SP_COPY_NOOVERWRITE));
  EXPECT_EQ(copies[1].args[3], std::to_string(SP_COPY_REPLACEONLY));
  EXPECT_TRUE(test::TraceEntriesStartingWith("SetupCopyOEMInf failed").empty());
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_TRUE(test::TraceHasEntry("INF FILE NAME : " + second.engine.strINFName));
}

TEST_F(InfStoreTest, OtherCopyFailureShowsTheErrorBoxAndEmptiesTheName) {
  FakeOs os;
  os.FailNth("SetupCopyOEMInfA", 1, ERROR_ACCESS_DENIED);
  EngineHarness harness(0, 2010);
  harness.engine.CopyINFFile();

  EXPECT_TRUE(harness.engine.strINFName.empty());
  EXPECT_EQ(os.CountOf("SetupCopyOEMInfA"), 1);
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "SetupCopyOEMInf, ERR CODE: 5\n\n" + ui::SystemErrorText(5));
  EXPECT_EQ(boxes[0].caption, "VKPM200_Installer");
  EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(test::TraceHasEntry("SetupCopyOEMInf failed : (5)"));
  EXPECT_TRUE(test::TraceHasEntry("INF FILE NAME : "));
}

const char kBothSections[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n"
    "[NORVEKA]\r\n\"NORVEKA VKP-M200\" = VKPM200\r\n\r\n[NORVEKA.NTamd64]\r\n\"NORVEKA VKP-M200\" = VKPM200\r\n";
const char kOnly32BitSection[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n"
    "[NORVEKA]\r\n\"NORVEKA VKP-M200\" = VKPM200\r\n";
const char kOtherModel[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n"
    "[NORVEKA]\r\n\"NORVEKA VKP-M100\" = VKPM100\r\n\r\n[NORVEKA.NTamd64]\r\n\"NORVEKA VKP-M100\" = VKPM100\r\n";

class InfScanTest : public InfStoreTest {
 protected:
  void SetUp() override {
    InfStoreTest::SetUp();
    Seed("oem90.inf", kBothSections);
    Seed("oem91.inf", kBothSections);
    Seed("oem92.inf", kOnly32BitSection);
    Seed("oem93.inf", kOtherModel);
    Seed("OEM94.INF", kBothSections);       // not a name SetupCopyOEMInf gives
    Seed("vkpnorveka.inf", kBothSections);  // not an OEM copy
  }
  static std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }
};

TEST_F(InfScanTest, On32BitTheModelSectionLinesAreFound) {
  FakeOs os;
  EngineHarness harness(0, 2005);
  EXPECT_EQ(harness.engine.INFFileExist(harness.engine.strMaker, harness.engine.strModelName), 1);

  EXPECT_EQ(Sorted(test::TraceEntriesStartingWith("OEM FILES EXISTING : ")),
            (std::vector<std::string>{"OEM FILES EXISTING : oem90.inf", "OEM FILES EXISTING : oem91.inf",
                                      "OEM FILES EXISTING : oem92.inf"}));
  EXPECT_TRUE(test::TraceHasEntry("SECTION NAME : NORVEKA"));
  EXPECT_TRUE(test::TraceHasEntry("KEY NAME : NORVEKA VKP-M200"));
  for (const auto& call : os.CallsOf("SetupOpenInfFileA")) {
    EXPECT_EQ(call.args[0].find("OEM94.INF"), std::string::npos);
    EXPECT_EQ(call.args[0].find("vkpnorveka.inf"), std::string::npos);
  }
  EXPECT_EQ(os.CountOf("SetupOpenInfFileA"), os.CountOf("SetupCloseInfFile"));
  EXPECT_EQ(os.CountOf("SetupGetInfFileListW"), 2);
  EXPECT_EQ(os.CallsOf("SetupGetInfFileListW")[0].args[0], InfDir());
}

TEST_F(InfScanTest, On64BitOnlyTheNtamd64SectionCounts) {
  FakeOs os;
  EngineHarness harness(1, 2010);
  EXPECT_EQ(harness.engine.INFFileExist(harness.engine.strMaker, harness.engine.strModelName), 1);
  EXPECT_EQ(Sorted(test::TraceEntriesStartingWith("OEM FILES EXISTING : ")),
            (std::vector<std::string>{"OEM FILES EXISTING : oem90.inf", "OEM FILES EXISTING : oem91.inf"}));
  EXPECT_TRUE(test::TraceHasEntry("SECTION NAME : NORVEKA.NTamd64"));
  EXPECT_EQ(os.CountOf("SetupOpenInfFileA"), os.CountOf("SetupCloseInfFile"));
}

TEST_F(InfScanTest, TheKeyIsAlwaysTheModelsDisplayName) {
  FakeOs os;
  EngineHarness harness(0, 2005);
  EXPECT_EQ(harness.engine.INFFileExist("NORVEKA", "something else"), 1);
  for (const auto& call : os.CallsOf("SetupFindFirstLineA")) EXPECT_EQ(call.args[2], "NORVEKA VKP-M200");
}

TEST_F(InfScanTest, AnInfThatCannotBeOpenedIsSkipped) {
  FakeOs os;
  os.Replace<&PlatformApi::SetupOpenInfFileA>([](PCSTR name, PCSTR infClass, DWORD style, PUINT errorLine) {
    if (std::string(name).find("oem90.inf") != std::string::npos) {
      ::SetLastError(ERROR_FILE_NOT_FOUND);
      return static_cast<HINF>(INVALID_HANDLE_VALUE);
    }
    return RealOs().SetupOpenInfFileA(name, infClass, style, errorLine);
  });
  EngineHarness harness(1, 2010);
  EXPECT_EQ(harness.engine.INFFileExist(harness.engine.strMaker, harness.engine.strModelName), 1);
  EXPECT_EQ(test::TraceEntriesStartingWith("OEM FILES EXISTING : "),
            std::vector<std::string>{"OEM FILES EXISTING : oem91.inf"});
  EXPECT_TRUE(test::TraceHasEntry("SetupOpenInfFile failed. 2"));
}

TEST_F(InfScanTest, NoListingMeansZero) {
  FakeOs os;
  os.FailNth("SetupGetInfFileListW", 1, ERROR_ACCESS_DENIED);
  EngineHarness harness(0, 2005);
  EXPECT_EQ(harness.engine.INFFileExist(harness.engine.strMaker, harness.engine.strModelName), 0);
  EXPECT_EQ(os.CountOf("SetupOpenInfFileA"), 0);
  EXPECT_TRUE(test::TraceHasEntry("INFFileExist END"));
}

TEST_F(InfScanTest, NoOemInfListingTheModelMeansZero) {
  for (const std::string& path : created_) ::DeleteFileA(path.c_str());
  Seed("oem93.inf", kOtherModel);
  Seed("oem92.inf", kOnly32BitSection);
  FakeOs os;
  EngineHarness harness(1, 2010);
  EXPECT_EQ(harness.engine.INFFileExist(harness.engine.strMaker, harness.engine.strModelName), 0);
  EXPECT_TRUE(test::TraceEntriesStartingWith("OEM FILES EXISTING : ").empty());
  EXPECT_GE(os.CountOf("SetupOpenInfFileA"), 2);
}

}  // namespace
}  // namespace vkp
