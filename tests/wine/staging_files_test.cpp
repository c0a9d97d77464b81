// File staging, the installation directory, the deletion of staged copies and
// the clean-up of earlier installations, in process against the prefix's own
// spooler folders, file system and registry.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstdio>

#include <algorithm>
#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/EngineHarness.h"
#include "tests/wine/TestProgram.h"
#include "tests/wine/TestRegistry.h"

namespace vkp {
namespace {

using test::EngineHarness;
using test::FakeOs;

const char* const kStagedFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "VKP200.dll",
                                    "VKUI200.dll", "VKUNI200.dll", "VKUI200.INI", "VKP200.GPD", "STDNAMES.GPD"};
// Copied into the Windows directory too on 32-bit releases before Vista.
const char* const kSecondCopies[] = {"VKP200.dll", "VKUI200.dll", "VKUNI200.dll", "VKUI200.INI", "VKP200.GPD"};

std::string DriverDirOf(const char* environment) {
  char dir[MAX_PATH] = "";
  DWORD needed = 0;
  ::GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir),
                               sizeof dir, &needed);
  return dir;
}

const char* EnvironmentOf(int is64Bit) { return is64Bit ? "Windows x64" : "Windows NT x86"; }

// Runs `step` of a 32-bit engine while the driver directory cannot be found.
void RunWithoutDriverDirectory(FakeOs& os, int osVersion, void (InstallEngine::*step)()) {
  os.FailNth("GetPrinterDriverDirectoryA", 1, ERROR_INVALID_ENVIRONMENT);
  EngineHarness harness(0, osVersion);
  (harness.engine.*step)();
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry{};
  HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        ::DeleteFileA(child.c_str());
    } while (::FindNextFileA(search, &entry));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(path.c_str());
}

class StagingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    CleanTargets();
    for (const char* folder : {"Driver32", "Driver64"}) {
      ::CreateDirectoryA(folder, nullptr);
      for (const char* name : kStagedFiles)
        test::WriteFileText(std::string(folder) + "\\" + name, std::string(folder) + ":" + name);
    }
  }
  void TearDown() override { CleanTargets(); }

  static void CleanTargets() {
    for (const char* environment : {"Windows NT x86", "Windows x64"}) {
      const std::string dir = DriverDirOf(environment);
      for (const char* name : kStagedFiles) {
        ::DeleteFileA((dir + "\\" + name).c_str());
        ::DeleteFileA((dir + "\\" + name + ".old").c_str());
      }
    }
    for (const char* name : kSecondCopies) {
      ::DeleteFileA((test::WindowsDirectory() + "\\" + name).c_str());
      ::DeleteFileA((test::WindowsDirectory() + "\\" + name + ".old").c_str());
    }
  }

  test::TestApp app{"VKPM200_Installer"};
};

// ---- CopyFilesNeededToAddPrnDrv ----

TEST_F(StagingTest, Xp32BitStagesTenFilesAndCopiesThePluginsIntoTheWindowsDirectory) {
  FakeOs os;
  EngineHarness harness(0, 2005);
  harness.engine.CopyFilesNeededToAddPrnDrv();

  const std::string driverDir = DriverDirOf("Windows NT x86");
  for (const char* name : kStagedFiles)
    EXPECT_EQ(test::ReadFileText(driverDir + "\\" + name), std::string("Driver32:") + name) << name;
  for (const char* name : kSecondCopies)
    EXPECT_EQ(test::ReadFileText(test::WindowsDirectory() + "\\" + name), std::string("Driver32:") + name) << name;
  EXPECT_FALSE(test::FileExists(test::WindowsDirectory() + "\\STDNAMES.GPD"));
  EXPECT_FALSE(test::FileExists(test::WindowsDirectory() + "\\UNIDRV.DLL"));
  EXPECT_FALSE(test::FileExists(driverDir + "\\VKP200.BUD")) << "the BUD file is not staged";

  const auto sources = test::TraceEntriesStartingWith("FILE SRC : ");
  ASSERT_EQ(sources.size(), 15u);
  EXPECT_EQ(sources[0], "FILE SRC : " + test::InStartFolder("Driver32\\UNIDRV.DLL"));
  EXPECT_EQ(sources[4], "FILE SRC : " + test::InStartFolder("Driver32\\VKP200.dll"));
  EXPECT_EQ(sources[5], "FILE SRC : " + test::InStartFolder("Driver32\\VKP200.dll"));
  EXPECT_EQ(sources[13], "FILE SRC : " + test::InStartFolder("Driver32\\VKP200.GPD"));
  EXPECT_EQ(sources[14], "FILE SRC : " + test::InStartFolder("Driver32\\STDNAMES.GPD"));
  EXPECT_TRUE(test::TraceHasEntry("CopyFilesNeededToAddPrnDrv BEGIN"));
  EXPECT_TRUE(test::TraceHasEntry("CopyFilesNeededToAddPrnDrv END"));

  EXPECT_EQ(harness.Texts(), std::vector<std::string>{"Copying files...\r\n"});
  EXPECT_EQ(harness.BarPosition(), 1);
  EXPECT_EQ(os.Sleeps(), std::vector<DWORD>{500});

  // Every copy replaces an existing target.
  for (const auto& call : os.CallsOf("CopyFileA")) EXPECT_EQ(call.args[2], "0");
}

TEST_F(StagingTest, Server2003On64BitStagesTheX64FilesIntoTheX64DriverDirectoryOnly) {
  FakeOs os;
  EngineHarness harness(1, 2006);
  harness.engine.CopyFilesNeededToAddPrnDrv();

  const std::string driverDir = DriverDirOf("Windows x64");
  ASSERT_NE(driverDir, DriverDirOf("Windows NT x86"));
  for (const char* name : kStagedFiles)
    EXPECT_EQ(test::ReadFileText(driverDir + "\\" + name), std::string("Driver64:") + name) << name;
  for (const char* name : kSecondCopies) EXPECT_FALSE(test::FileExists(test::WindowsDirectory() + "\\" + name)) << name;

  const auto sources = test::TraceEntriesStartingWith("FILE SRC : ");
  ASSERT_EQ(sources.size(), 10u);
  for (std::size_t i = 0; i < sources.size(); ++i)
    EXPECT_EQ(sources[i], "FILE SRC : " + test::InStartFolder(std::string("Driver64\\") + kStagedFiles[i]));
  EXPECT_EQ(os.CountOf("CopyFileA"), 10);
}

TEST_F(StagingTest, VistaOn32BitMakesNoSecondCopies) {
  FakeOs os;
  EngineHarness harness(0, 2007);
  harness.engine.CopyFilesNeededToAddPrnDrv();
  EXPECT_EQ(test::TraceEntriesStartingWith("FILE SRC : ").size(), 10u);
  for (const char* name : kSecondCopies) EXPECT_FALSE(test::FileExists(test::WindowsDirectory() + "\\" + name)) << name;
}

TEST_F(StagingTest, MissingSourcesAreTracedAndStagingGoesOn) {
  ::DeleteFileA("Driver32\\UNIDRV.DLL");
  ::DeleteFileA("Driver32\\VKUI200.dll");
  FakeOs os;
  EngineHarness harness(0, 2005);
  harness.engine.CopyFilesNeededToAddPrnDrv();

  const std::string driverDir = DriverDirOf("Windows NT x86");
  const std::vector<std::string> errors = test::TraceEntriesStartingWith("COPYFILE ERROR");
  const std::vector<std::string> expected = {
      "COPYFILE ERROR, SRC : " + test::InStartFolder("Driver32\\VKUI200.dll "),
      "COPYFILE ERROR, DES : " + driverDir + "\\VKUI200.dll ",
      "COPYFILE ERROR, SRC : " + test::InStartFolder("Driver32\\VKUI200.dll "),
      "COPYFILE ERROR, DES : " + test::WindowsDirectory() + "\\VKUI200.dll ",
  };
  EXPECT_EQ(errors, expected) << "UNIDRV.DLL (file 1) leaves only its FILE SRC line";
  EXPECT_EQ(test::TraceEntriesStartingWith("ERROR CODE : "),
            (std::vector<std::string>{"ERROR CODE : 2 ", "ERROR CODE : 2 "}));
  EXPECT_EQ(test::TraceEntriesStartingWith("FILE SRC : ").size(), 15u);
  EXPECT_FALSE(test::FileExists(driverDir + "\\UNIDRV.DLL"));
  EXPECT_FALSE(test::FileExists(driverDir + "\\VKUI200.dll"));
  EXPECT_EQ(test::ReadFileText(driverDir + "\\STDNAMES.GPD"), "Driver32:STDNAMES.GPD");
  EXPECT_EQ(test::ReadFileText(test::WindowsDirectory() + "\\VKUNI200.dll"), "Driver32:VKUNI200.dll");
  EXPECT_EQ(os.CountOf("MoveFileA"), 0);
}

TEST_F(StagingTest, SharingViolationMovesTheTargetAsideAndCopiesAgain) {
  const std::string target = DriverDirOf("Windows x64") + "\\VKP200.dll";
  test::WriteFileText(target, "in use");
  test::WriteFileText(target + ".old", "older");
  FakeOs os;
  os.FailNth("CopyFileA", 5, ERROR_SHARING_VIOLATION);  // the 5th copy is VKP200.dll
  EngineHarness harness(1, 2006);
  harness.engine.CopyFilesNeededToAddPrnDrv();

  EXPECT_EQ(test::ReadFileText(target), "Driver64:VKP200.dll");
  EXPECT_EQ(test::ReadFileText(target + ".old"), "in use") << "the older .old was deleted first";
  const auto lines = test::TraceEntries();
  const auto handler = std::find(lines.begin(), lines.end(), "ERROR_SHARING_VIOLATION HANDLER");
  ASSERT_NE(handler, lines.end());
  ASSERT_GE(lines.end() - handler, 3);
  EXPECT_EQ(handler[1], "strDest : " + target);
  EXPECT_EQ(handler[2], "strDestWithOldExt : " + target + ".old");
  EXPECT_TRUE(test::TraceEntriesStartingWith("CopyFile Error : ").empty());
  EXPECT_TRUE(test::TraceEntriesStartingWith("COPYFILE ERROR").empty());
  EXPECT_EQ(os.CountOf("CopyFileA"), 11);
}

TEST_F(StagingTest, AccessDeniedWithoutOldTargetOnlyCopiesAgain) {
  const std::string target = DriverDirOf("Windows NT x86") + "\\STDNAMES.GPD";
  FakeOs os;
  os.FailNth("CopyFileA", 15, ERROR_ACCESS_DENIED);  // XP: STDNAMES.GPD is the 15th copy
  EngineHarness harness(0, 2005);
  harness.engine.CopyFilesNeededToAddPrnDrv();

  EXPECT_TRUE(test::TraceHasEntry("ERROR_ACCESS_DENIED HANDLER"));
  EXPECT_TRUE(test::TraceEntriesStartingWith("strDest : ").empty()) << "nothing to move aside";
  EXPECT_EQ(os.CountOf("MoveFileA"), 0);
  EXPECT_EQ(test::ReadFileText(target), "Driver32:STDNAMES.GPD");
  EXPECT_FALSE(test::FileExists(target + ".old"));
}

TEST_F(StagingTest, TargetHeldOpenGivesARealSharingViolation) {
  const std::string target = DriverDirOf("Windows NT x86") + "\\VKUNI200.dll";
  test::WriteFileText(target, "held");
  HANDLE held = ::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    FakeOs os;
    EngineHarness harness(0, 2007);
    harness.engine.CopyFilesNeededToAddPrnDrv();
    int copiesOfTarget = 0;
    for (const auto& call : os.CallsOf("CopyFileA"))
      if (call.args[1] == target) ++copiesOfTarget;
    EXPECT_EQ(copiesOfTarget, 2) << "one retry";
  }
  ::CloseHandle(held);
  EXPECT_TRUE(test::TraceHasEntry("ERROR_SHARING_VIOLATION HANDLER"));
  // An open file without shared access cannot be renamed either: the retry fails too.
  EXPECT_TRUE(test::TraceHasEntry("MoveFile failed : " + target + " (32) "));
  EXPECT_TRUE(test::TraceHasEntry("strDest : " + target));
  EXPECT_TRUE(test::TraceHasEntry("Error Code : (32) "));
  EXPECT_TRUE(test::TraceHasEntry("CopyFile Error : " + test::InStartFolder("Driver32\\VKUNI200.dll ")));
  EXPECT_TRUE(test::TraceHasEntry("CopyFile Error : " + target + " "));
  EXPECT_EQ(test::ReadFileText(target), "held");
  EXPECT_FALSE(test::FileExists(target + ".old"));
}

TEST_F(StagingTest, UnknownDriverDirectoryStagesNothing) {
  FakeOs os;
  RunWithoutDriverDirectory(os, 2005, &InstallEngine::CopyFilesNeededToAddPrnDrv);
  EXPECT_EQ(os.CountOf("CopyFileA"), 0);
  EXPECT_TRUE(test::TraceEntriesStartingWith("FILE SRC : ").empty());
  EXPECT_TRUE(test::TraceHasEntry("CopyFilesNeededToAddPrnDrv END"));
}

TEST_F(StagingTest, ErrorHandlerHandlesOnlyAccessDeniedAndSharingViolation) {
  FakeOs os;
  EngineHarness harness(0, 2005);
  EXPECT_FALSE(harness.engine.CopyFileErrorHandler("Driver32\\VKP200.dll", "C:\\nowhere\\VKP200.dll", 3));
  EXPECT_EQ(os.CountOf("CopyFileA"), 0);
  EXPECT_TRUE(test::TraceHasEntry("ERROR CODE : 3 "));
  EXPECT_TRUE(harness.engine.CopyFileErrorHandler("Driver32\\missing.dll", "C:\\nowhere\\VKP200.dll", 5));
  EXPECT_EQ(os.CountOf("CopyFileA"), 1);
  EXPECT_TRUE(test::TraceHasEntry("Error Code : (2) ") || test::TraceHasEntry("Error Code : (3) "));
}

// ---- CopyFilesOfUtilities and CreateDirectoryWithSA ----

class UtilitiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    test::WriteFileText("VKPM200_Uninstaller.exe", "new uninstaller");
    test::WriteFileText("VKPM200_Config.ZEM", "[VKPM200]\r\nPORT=USB\r\n");
  }
  void TearDown() override {
    RemoveTree(installDir);
    ::DeleteFileA((test::SystemDirectory() + "\\VKPM200_Config.ZEM").c_str());
    RemoveTree("C:\\vkp_missing_parent");
  }
  const std::string installDir = test::WindowsDirectory() + "\\VKP-M200";
  test::TestApp app{"VKPM200_Installer"};
};

struct AceSummary {
  ACCESS_MASK mask = 0;
  BYTE flags = 0;
  bool found = false;
};

// The allowed entry for the SID in the directory's DACL.
AceSummary AceFor(const std::string& path, PSID sid) {
  AceSummary summary;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
    return summary;
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    if (!::EqualSid(reinterpret_cast<PSID>(&allowed->SidStart), sid)) continue;
    summary.mask |= allowed->Mask;
    summary.flags |= allowed->Header.AceFlags;
    summary.found = true;
  }
  ::LocalFree(descriptor);
  return summary;
}

// Every entry of the directory's DACL, for failure messages.
std::string DescribeDacl(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD result = ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                               nullptr, &dacl, nullptr, &descriptor);
  if (result != ERROR_SUCCESS) return "GetNamedSecurityInfo failed " + std::to_string(result);
  std::string text;
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    char* sid = nullptr;
    ::ConvertSidToStringSidA(reinterpret_cast<PSID>(&allowed->SidStart), &sid);
    char line[160];
    std::snprintf(line, sizeof line, "[type %u flags %#x mask %#lx %s] ", allowed->Header.AceType,
                  allowed->Header.AceFlags, static_cast<unsigned long>(allowed->Mask), sid ? sid : "?");
    text += line;
    ::LocalFree(sid);
  }
  ::LocalFree(descriptor);
  return text;
}

PSID MakeSid(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD first, DWORD second) {
  PSID sid = nullptr;
  ::AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &sid);
  return sid;
}

TEST_F(UtilitiesTest, ExistingInstallationDirectoryIsReplacedAndTheUtilitiesCopied) {
  ::CreateDirectoryA(installDir.c_str(), nullptr);
  test::WriteFileText(installDir + "\\VKPM200_Uninstaller.exe", "old uninstaller");
  test::WriteFileText(installDir + "\\left-over.txt", "old");
  FakeOs os;
  EngineHarness harness(0, 2010);
  harness.engine.CopyFilesOfUtilities();

  EXPECT_FALSE(test::FileExists(installDir + "\\left-over.txt"));
  EXPECT_EQ(test::ReadFileText(installDir + "\\VKPM200_Uninstaller.exe"), "new uninstaller");
  EXPECT_EQ(test::ReadFileText(installDir + "\\VKPM200_Config.ZEM"), "[VKPM200]\r\nPORT=USB\r\n");
  EXPECT_EQ(test::ReadFileText(test::SystemDirectory() + "\\VKPM200_Config.ZEM"), "[VKPM200]\r\nPORT=USB\r\n");
  EXPECT_EQ(test::TraceEntriesStartingWith("FILE SRC : "),
            (std::vector<std::string>{"FILE SRC : " + test::InStartFolder("VKPM200_Uninstaller.exe"),
                                      "FILE SRC : " + test::InStartFolder("VKPM200_Config.ZEM"),
                                      "FILE SRC : " + test::InStartFolder("VKPM200_Config.ZEM")}));
  EXPECT_TRUE(harness.Texts().empty()) << "no progress step";
  EXPECT_TRUE(test::TraceHasEntry("CreateDirectoryWithSA BEGIN"));
  EXPECT_TRUE(test::TraceHasEntry("CopyFilesOfUtilities END"));
  // Created with the access list at the second attempt, after the old tree went.
  const auto creations = os.CallsOf("CreateDirectoryA");
  ASSERT_GE(creations.size(), 2u);
  EXPECT_NE(creations[1].args[1], "0x0");
}

struct GivenAce {
  std::string sid;
  ACCESS_MASK mask;
  BYTE flags;
};

// The allowed entries of the DACL in the attributes handed to CreateDirectoryA.
std::vector<GivenAce> EntriesOf(const SECURITY_ATTRIBUTES* attributes) {
  std::vector<GivenAce> entries;
  BOOL present = FALSE;
  BOOL defaulted = TRUE;
  PACL dacl = nullptr;
  if (attributes == nullptr ||
      !::GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &dacl, &defaulted) || !present ||
      dacl == nullptr || defaulted)
    return entries;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    char* sid = nullptr;
    ::ConvertSidToStringSidA(reinterpret_cast<PSID>(&allowed->SidStart), &sid);
    entries.push_back({sid != nullptr ? sid : "?", allowed->Mask, allowed->Header.AceFlags});
    ::LocalFree(sid);
  }
  return entries;
}

TEST_F(UtilitiesTest, InstallationDirectoryGrantsSystemAndAdministratorsAllAndEveryoneReadAndExecute) {
  FakeOs os;
  std::vector<GivenAce> given;
  bool inheritable = false;
  os.Replace<&PlatformApi::CreateDirectoryA>([&](LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    given = EntriesOf(attributes);
    inheritable = attributes != nullptr && attributes->bInheritHandle;
    return RealOs().CreateDirectoryA(path, attributes);
  });
  EngineHarness harness(0, 2010);
  EXPECT_EQ(harness.engine.CreateDirectoryWithSA(installDir.c_str()), 1);
  ASSERT_EQ(os.CallsOf("CreateDirectoryA").size(), 1u);

  const BYTE inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  ASSERT_EQ(given.size(), 3u);
  EXPECT_EQ(given[0].sid, "S-1-5-18");
  EXPECT_EQ(given[0].mask, static_cast<ACCESS_MASK>(GENERIC_ALL));
  EXPECT_EQ(given[1].sid, "S-1-5-32-544");
  EXPECT_EQ(given[1].mask, static_cast<ACCESS_MASK>(GENERIC_ALL));
  EXPECT_EQ(given[2].sid, "S-1-1-0");
  EXPECT_EQ(given[2].mask, static_cast<ACCESS_MASK>(GENERIC_READ | GENERIC_EXECUTE));
  for (const GivenAce& ace : given) EXPECT_EQ(ace.flags & inherit, inherit) << ace.sid;
  EXPECT_TRUE(inheritable);

  // Read back from the directory. Wine keeps file security as Unix mode
  // bits, so only SYSTEM and Everyone come back as given; the
  // Administrators entry reappears as the owner's.
  PSID system = MakeSid(SECURITY_NT_AUTHORITY, 1, SECURITY_LOCAL_SYSTEM_RID, 0);
  PSID everyone = MakeSid(SECURITY_WORLD_SID_AUTHORITY, 1, SECURITY_WORLD_RID, 0);
  const AceSummary forSystem = AceFor(installDir, system);
  const AceSummary forEveryone = AceFor(installDir, everyone);
  ::FreeSid(system);
  ::FreeSid(everyone);
  const std::string dacl = DescribeDacl(installDir);
  ASSERT_TRUE(forSystem.found) << dacl;
  ASSERT_TRUE(forEveryone.found) << dacl;
  // Generic rights as given, or mapped to the file rights by the system.
  EXPECT_TRUE(forSystem.mask == GENERIC_ALL || (forSystem.mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS) << dacl;
  EXPECT_TRUE(forEveryone.mask == (GENERIC_READ | GENERIC_EXECUTE) ||
              ((forEveryone.mask & (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE)) ==
                   (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE) &&
               (forEveryone.mask & (FILE_WRITE_DATA | FILE_APPEND_DATA | GENERIC_WRITE | GENERIC_ALL)) == 0))
      << dacl;
  EXPECT_EQ(forSystem.flags & inherit, inherit) << dacl;
  EXPECT_EQ(forEveryone.flags & inherit, inherit) << dacl;

  EXPECT_EQ(os.CountOf("FreeSid"), 3);
  EXPECT_EQ(os.CountOf("LocalFree"), 1) << "the access list is released";
}

TEST_F(UtilitiesTest, MissingParentFailsAllThreeAttempts) {
  FakeOs os;
  EngineHarness harness(0, 2010);
  EXPECT_EQ(harness.engine.CreateDirectoryWithSA("C:\\vkp_missing_parent\\VKP-M200"), 0);
  const auto creations = os.CallsOf("CreateDirectoryA");
  ASSERT_EQ(creations.size(), 3u);
  EXPECT_NE(creations[0].args[1], "0x0");
  EXPECT_NE(creations[1].args[1], "0x0");
  EXPECT_EQ(creations[2].args[1], "0x0") << "last attempt with default security";
  EXPECT_EQ(os.CountOf("FreeSid"), 3);
  EXPECT_FALSE(test::FileExists("C:\\vkp_missing_parent"));
}

TEST_F(UtilitiesTest, AFolderThatCannotBeRebuiltGetsTheNewList) {
  RealOs().CreateDirectoryA(installDir.c_str(), nullptr);
  FakeOs os;
  // As when something in it is in use: it cannot go, and cannot be made anew.
  os.FailNth("RemoveDirectoryA", 0, ERROR_SHARING_VIOLATION);
  os.FailNth("CreateDirectoryA", 0, ERROR_ALREADY_EXISTS);
  EngineHarness harness(0, 2010);
  EXPECT_EQ(harness.engine.CreateDirectoryWithSA(installDir.c_str()), 0);
  const auto sets = os.CallsOf("SetSecurityInfo");
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].args[1], std::to_string(SE_FILE_OBJECT));
  EXPECT_TRUE(test::TraceHasEntry("ACCESS LIST SET : " + installDir));
}

TEST_F(UtilitiesTest, EveryoneSidFailureIsTracedAndTheOthersStillGranted) {
  FakeOs os;
  os.FailNth("AllocateAndInitializeSid", 3, ERROR_NOT_ENOUGH_MEMORY);
  EngineHarness harness(0, 2010);
  EXPECT_EQ(harness.engine.CreateDirectoryWithSA(installDir.c_str()), 1);
  EXPECT_TRUE(test::TraceHasEntry("Fail to get Everyone SID. (8)"));
  const auto lists = os.CallsOf("SetEntriesInAclA");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].args[0], "2");
  EXPECT_EQ(os.CountOf("FreeSid"), 2);
}

TEST_F(UtilitiesTest, NoSidAtAllMeansDefaultSecurity) {
  FakeOs os;
  os.FailNth("AllocateAndInitializeSid", 0, ERROR_NOT_ENOUGH_MEMORY);
  EngineHarness harness(0, 2010);
  EXPECT_EQ(harness.engine.CreateDirectoryWithSA(installDir.c_str()), 1);
  EXPECT_EQ(os.CountOf("SetEntriesInAclA"), 0);
  const auto creations = os.CallsOf("CreateDirectoryA");
  ASSERT_EQ(creations.size(), 1u);
  EXPECT_EQ(creations[0].args[1], "0x0") << "never a NULL DACL";
}

// ---- DeleteFilesUsed (installer) ----

TEST_F(StagingTest, DeleteFilesUsedDeletesTheStagedCopiesInOrder) {
  for (int is64Bit : {0, 1}) {
    InitTraceLog();
    const std::string dir = DriverDirOf(EnvironmentOf(is64Bit));
    for (const char* name : kStagedFiles) test::WriteFileText(dir + "\\" + name, "staged");
    ::DeleteFileA((dir + "\\VKUI200.INI").c_str());
    ::DeleteFileA((dir + "\\UNIDRV.HLP").c_str());
    FakeOs os;
    EngineHarness harness(is64Bit, 2005);
    harness.engine.DeleteFilesUsed();

    for (const char* name : kStagedFiles) EXPECT_FALSE(test::FileExists(dir + "\\" + name)) << name;
    std::vector<std::string> paths;
    std::vector<std::string> expected;
    for (const char* name : kStagedFiles) {
      paths.push_back(dir + "\\" + name);
      expected.push_back("FILE SRC : " + paths.back());
    }
    EXPECT_EQ(test::TraceEntriesStartingWith("FILE SRC : "), expected);
    std::vector<std::string> deleted;
    for (const auto& call : os.CallsOf("DeleteFileA")) deleted.push_back(call.args[0]);
    EXPECT_EQ(deleted, paths);
    // Only the model's files report a failed deletion.
    EXPECT_EQ(test::TraceEntriesStartingWith("DeleteFile Error : "),
              std::vector<std::string>{"DeleteFile Error : " + dir + "\\VKUI200.INI , (2)"});
    EXPECT_EQ(harness.Texts(), std::vector<std::string>{"Deleting files used to install...\r\n"});
    EXPECT_EQ(os.Sleeps(), std::vector<DWORD>{500});
  }
}

TEST_F(StagingTest, DeleteFilesUsedWithoutDriverDirectoryDeletesNothing) {
  FakeOs os;
  RunWithoutDriverDirectory(os, 2005, &InstallEngine::DeleteFilesUsed);
  EXPECT_EQ(os.CountOf("DeleteFileA"), 0);
  EXPECT_TRUE(test::TraceHasEntry("DeleteFilesUsed END"));
}

// ---- Clean-up of earlier installations ----

const char kEnumUsb[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";
const char kUsbClass[] = "{36FC9E60-C465-11CF-8056-444553540000}";
const char kUsbPrintKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200";
const char kOtherUsbPrintKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\OTHER_PRINTER";

REGSAM NativeView() { return test::View64(test::RunsUnderWow64()); }

void AddUsbDevice(const std::string& device, const std::string& instance, const std::string& hardwareId) {
  const std::string path = std::string(kEnumUsb) + "\\" + device + "\\" + instance;
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | NativeView(),
                              nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::string ids = hardwareId;
  ids.append(2, '\0');
  ::RegSetValueExA(key, "HardwareID", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(ids.data()),
                   static_cast<DWORD>(ids.size()));
  ::RegSetValueExA(key, "ClassGUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(kUsbClass), sizeof kUsbClass);
  ::RegCloseKey(key);
}

class CleanupTest : public ::testing::Test {
 protected:
  void SetUp() override { InitTraceLog(); }
  void TearDown() override {
    for (const char* device : {"Vid_6E2D&Pid_0D41", "Vid_1234&Pid_5678"})
      ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kEnumUsb) + "\\" + device).c_str());
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUsbPrintKey);
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kOtherUsbPrintKey);
    for (const char* environment : {"Windows NT x86", "Windows x64"}) {
      RemoveTree(DriverDirOf(environment) + "\\norveka_vkp_m2007c1e");
      RemoveTree(DriverDirOf(environment) + "\\other_printer_folder");
    }
  }
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(CleanupTest, DeleteVidPidRemovesThePrintersUsbNodesOnly) {
  AddUsbDevice("Vid_6E2D&Pid_0D41", "5&1A2B3C&0&1", "USB\\VID_6E2D&PID_0D41&REV_0100");
  AddUsbDevice("Vid_1234&Pid_5678", "6&FFFF&0&1", "USB\\VID_1234&PID_5678&REV_0001");
  FakeOs os;
  EngineHarness harness((test::RunsUnderWow64() ? 1 : 0), 2010);
  harness.engine.DeleteVidPid();

  EXPECT_FALSE(test::KeyExists(NativeView(), std::string(kEnumUsb) + "\\Vid_6E2D&Pid_0D41\\5&1A2B3C&0&1"));
  EXPECT_TRUE(test::KeyExists(NativeView(), std::string(kEnumUsb) + "\\Vid_1234&Pid_5678\\6&FFFF&0&1"));
  EXPECT_TRUE(test::TraceHasEntry("VID&PID : USB\\Vid_6E2D&Pid_0D41"));
  EXPECT_TRUE(test::TraceHasEntry("DeleteVidPid END"));
  EXPECT_TRUE(harness.Texts().empty());
  EXPECT_TRUE(os.Sleeps().empty());
}

TEST_F(CleanupTest, DeletePrnDrvPnPDirectoryRemovesTheHardwareIdFolderOfTheEnvironment) {
  for (int is64Bit : {0, 1}) {
    InitTraceLog();
    const std::string dir = DriverDirOf(EnvironmentOf(is64Bit));
    const std::string folder = dir + "\\norveka_vkp_m2007c1e";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ::CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    test::WriteFileText(folder + "\\sub\\VKP200.dll", "x");
    ::CreateDirectoryA((dir + "\\other_printer_folder").c_str(), nullptr);
    FakeOs os;
    EngineHarness harness(is64Bit, 2010);
    harness.engine.DeletePrnDrvPnPDirectory();

    EXPECT_FALSE(test::FileExists(folder));
    EXPECT_TRUE(test::FileExists(dir + "\\other_printer_folder"));
    EXPECT_TRUE(test::TraceHasEntry("DIR PATH-1 : " + folder + " "));
    EXPECT_TRUE(harness.Texts().empty());
    EXPECT_TRUE(os.Sleeps().empty());
  }
}

TEST_F(CleanupTest, DeletePrnDrvPnPDirectoryWithoutDriverDirectoryTouchesNothing) {
  FakeOs os;
  RunWithoutDriverDirectory(os, 2010, &InstallEngine::DeletePrnDrvPnPDirectory);
  EXPECT_EQ(os.CountOf("FindFirstFileA"), 0);
  EXPECT_EQ(os.CountOf("RemoveDirectoryA"), 0);
  EXPECT_TRUE(test::TraceEntriesStartingWith("DIR PATH-1 : ").empty());
}

TEST_F(CleanupTest, DeleteUsbInfoRemovesTheUsbPrintKeyWithItsSubkeys) {
  test::CreateKey(NativeView(), std::string(kUsbPrintKey) + "\\instance\\Device Parameters", "PortName", "USB001");
  test::CreateKey(NativeView(), kOtherUsbPrintKey, "PortName", "USB002");
  FakeOs os;
  EngineHarness harness((test::RunsUnderWow64() ? 1 : 0), 2010);
  harness.engine.Delete_USB_Info();

  EXPECT_FALSE(test::KeyExists(NativeView(), kUsbPrintKey));
  EXPECT_TRUE(test::KeyExists(NativeView(), kOtherUsbPrintKey));
  EXPECT_TRUE(test::TraceHasEntry("REGKEY_1 : HKLM\\" + std::string(kUsbPrintKey)));
  EXPECT_TRUE(test::TraceHasEntry("REGKEY_2 : " + std::string(kUsbPrintKey)));
  EXPECT_TRUE(test::TraceHasEntry("Delete_USB_Info BEGIN"));
  EXPECT_TRUE(test::TraceHasEntry("Delete_USB_Info END"));
  EXPECT_TRUE(harness.Texts().empty());
}

}  // namespace
}  // namespace vkp
