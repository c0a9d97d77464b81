// The shared system helpers in process under Wine: restart request (through
// the seam only: a real ExitWindowsEx ends every process of the prefix),
// deletion-failure trace, directory-tree deletion and USB device removal.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TraceReading.h"

namespace vkp {
const char* TraceLogFileName() { return "VKP-M200_SupportHelpersTest.txt"; }
}  // namespace vkp

namespace vkp {
namespace {

using test::FakeOs;

class Traced : public ::testing::Test {
 protected:
  void SetUp() override { InitTraceLog(); }
};

// ---- RestartWindows ----

using RestartWindowsTest = Traced;

TEST_F(RestartWindowsTest, EnablesTheShutdownPrivilegeAndAsksForAReboot) {
  FakeOs fake;
  EXPECT_EQ(RestartWindows(), 1);

  const auto token = fake.CallsOf("OpenProcessToken");
  ASSERT_EQ(token.size(), 1u);
  EXPECT_EQ(token[0].args[1], std::to_string(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
  const auto lookup = fake.CallsOf("LookupPrivilegeValueA");
  ASSERT_EQ(lookup.size(), 1u);
  EXPECT_EQ(lookup[0].args[1], "SeShutdownPrivilege");
  EXPECT_EQ(fake.CountOf("AdjustTokenPrivileges"), 1);

  ASSERT_EQ(fake.RestartRequests(), std::vector<UINT>{EWX_REBOOT | EWX_FORCEIFHUNG});
  const auto exits = fake.CallsOf("ExitWindowsEx");
  ASSERT_EQ(exits.size(), 1u);
  EXPECT_EQ(exits[0].args[1], std::to_string(SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                             SHTDN_REASON_FLAG_PLANNED));
  EXPECT_EQ(fake.CountOf("CloseHandle"), 1);  // the token
  EXPECT_TRUE(RestartStarted()) << "the dialogs end with 1641 when the session ends";
}

// RestartWindows gives 0 without a restart request, never reaching
// `uncalled`, and closes `closes` handles (the token).
void ExpectRefused(const FakeOs& fake, const char* uncalled, int closes) {
  EXPECT_EQ(RestartWindows(), 0);
  EXPECT_TRUE(fake.RestartRequests().empty());
  EXPECT_EQ(fake.CountOf(uncalled), 0);
  EXPECT_EQ(fake.CountOf("CloseHandle"), closes);
}

TEST_F(RestartWindowsTest, PrivilegeNotHeldGivesZeroWithoutRestart) {
  FakeOs fake;
  fake.Replace<&PlatformApi::AdjustTokenPrivileges>(
      [](HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD) -> BOOL {
        ::SetLastError(ERROR_NOT_ALL_ASSIGNED);
        return TRUE;
      });
  ExpectRefused(fake, "ExitWindowsEx", 1);
}

TEST_F(RestartWindowsTest, TokenNotOpenedGivesZero) {
  FakeOs fake;
  fake.FailNth("OpenProcessToken", 1, ERROR_ACCESS_DENIED);
  ExpectRefused(fake, "AdjustTokenPrivileges", 0);
}

TEST_F(RestartWindowsTest, RefusedRestartGivesZero) {
  FakeOs fake;
  fake.FailNth("ExitWindowsEx", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(RestartWindows(), 0);
  EXPECT_EQ(fake.CountOf("ExitWindowsEx"), 1);
  EXPECT_FALSE(RestartStarted());
}

// ---- LogDeleteFileError ----

using LogDeleteFileErrorTest = Traced;

TEST_F(LogDeleteFileErrorTest, WritesOneLineAndGivesFalse) {
  EXPECT_FALSE(LogDeleteFileError("C:\\windows\\system32\\VKPM200.dll", ERROR_ACCESS_DENIED));
  EXPECT_NE(test::ReadTraceLog().find(": DeleteFile Error : C:\\windows\\system32\\VKPM200.dll , (5)\r\n"),
            std::string::npos)
      << test::ReadTraceLog();
}

// ---- DeleteDirectoryTree ----

void MakeDir(const std::string& path) { ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path; }

void MakeFile(const std::string& path, bool readOnly) {
  {
    std::ofstream file(path, std::ios::binary);
    ASSERT_TRUE(file.good()) << path;
    file << "data";
  }
  if (readOnly) {
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
  }
}

class DirectoryTree : public Traced {
 protected:
  void SetUp() override {
    Traced::SetUp();
    char temp[MAX_PATH] = "";
    ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
    base_ = std::string(temp) + "vkp_tree_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    MakeDir(base_);
    root_ = base_ + "\\Install";
    MakeDir(root_);
    MakeFile(root_ + "\\VKPM200.inf", true);
    MakeDir(root_ + "\\Driver32");
    MakeFile(root_ + "\\Driver32\\VKPM200.dll", true);
    MakeFile(root_ + "\\Driver32\\VKPM200.gpd", false);
    MakeDir(root_ + "\\Driver32\\Empty");
    MakeDir(root_ + "\\Locked");
    MakeFile(root_ + "\\Locked\\note.txt", false);
    ASSERT_TRUE(::SetFileAttributesA((root_ + "\\Locked").c_str(), FILE_ATTRIBUTE_READONLY));
    MakeFile(base_ + "\\neighbour.txt", false);
  }
  void TearDown() override { DeleteDirectoryTree(base_); }
  std::string base_, root_;
};

TEST_F(DirectoryTree, DeletesNestedFoldersAndReadOnlyFiles) {
  DeleteDirectoryTree(root_);
  EXPECT_FALSE(test::FileExists(root_));
  EXPECT_TRUE(test::FileExists(base_ + "\\neighbour.txt"));
}

TEST_F(DirectoryTree, TrailingBackslashDeletesTheSame) {
  DeleteDirectoryTree(root_ + "\\");
  EXPECT_FALSE(test::FileExists(root_));
  EXPECT_TRUE(test::FileExists(base_ + "\\neighbour.txt"));
}

TEST_F(DirectoryTree, BothFormsSearchTheSamePatternAndRemoveTheSameFolder) {
  const std::string empty = root_ + "\\Driver32\\Empty";
  for (const std::string& path : {empty, empty + "\\"}) {
    ::CreateDirectoryA(empty.c_str(), nullptr);
    FakeOs fake;
    DeleteDirectoryTree(path);
    const auto searches = fake.CallsOf("FindFirstFileA");
    ASSERT_EQ(searches.size(), 1u) << path;
    EXPECT_EQ(searches[0].args[0], empty + "\\*.*") << path;
    const auto removals = fake.CallsOf("RemoveDirectoryA");
    ASSERT_EQ(removals.size(), 1u) << path;
    EXPECT_EQ(removals[0].args[0], empty) << path;
  }
}

// The worst moment: a folder is being listed, and whoever owns it renames
// it and puts a folder of theirs in its place. The pin refuses the rename.
TEST_F(DirectoryTree, AFolderBeingEmptiedCannotBeSwapped) {
  const std::string bait = base_ + "\\Bait";
  const std::string driver32 = root_ + "\\Driver32";
  MakeDir(bait);
  MakeFile(bait + "\\keep.txt", false);
  BOOL renamed = FALSE;
  DWORD renameError = 0;
  FakeOs fake;
  fake.Replace<&PlatformApi::FindFirstFileA>([&](LPCSTR pattern, LPWIN32_FIND_DATAA data) -> HANDLE {
    if (pattern == driver32 + "\\*.*") {
      renamed = RealOs().MoveFileA(driver32.c_str(), (base_ + "\\Moved").c_str());
      renameError = ::GetLastError();
      if (renamed) RealOs().MoveFileA(bait.c_str(), driver32.c_str());
    }
    return RealOs().FindFirstFileA(pattern, data);
  });
  DeleteDirectoryTree(root_);
  EXPECT_FALSE(renamed);
  EXPECT_EQ(renameError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(test::FileExists(root_));
  EXPECT_TRUE(test::FileExists(bait + "\\keep.txt")) << "what was swapped in is never touched";
}

TEST_F(DirectoryTree, MissingPathIsHarmless) {
  FakeOs fake;
  DeleteDirectoryTree(base_ + "\\Missing");
  EXPECT_EQ(fake.CountOf("FindFirstFileA"), 0) << "nothing is listed that could not be pinned";
  EXPECT_TRUE(test::FileExists(root_ + "\\Driver32\\VKPM200.dll"));
  EXPECT_TRUE(test::FileExists(base_ + "\\neighbour.txt"));
}

TEST_F(DirectoryTree, EverySearchIsClosed) {
  FakeOs fake;
  DeleteDirectoryTree(root_);
  EXPECT_FALSE(test::FileExists(root_));
  EXPECT_GE(fake.CountOf("FindFirstFileA"), 4);  // root, Driver32, Empty, Locked
  EXPECT_EQ(fake.CountOf("FindClose"), fake.CountOf("FindFirstFileA"));
}

TEST_F(DirectoryTree, EmptyPathTouchesNothing) {
  FakeOs fake;
  DeleteDirectoryTree("");
  EXPECT_TRUE(fake.Calls().empty());
}

// ---- RemoveUsbDevices ----

const char kPrefix[] = "USB\\Vid_6E2D&Pid_0D41";
const char kEnumUsb[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";
const char kUsbClass[] = "{36FC9E60-C465-11CF-8056-444553540000}";

struct TestDevice {
  std::string device;    // under Enum\USB
  std::string instance;
  std::string hardwareIds;  // REG_MULTI_SZ, '|' between ids
  std::string Key() const { return std::string(kEnumUsb) + "\\" + device + "\\" + instance; }
};

const TestDevice kPrinterRev{"Vid_6E2D&Pid_0D41", "5&1A2B3C&0&1",
                             "USB\\VID_6E2D&PID_0D41&REV_0100|USB\\VID_6E2D&PID_0D41"};
const TestDevice kPrinterLower{"Vid_6E2D&Pid_0D41", "5&1A2B3C&0&2", "usb\\vid_6e2d&pid_0d41"};
const TestDevice kOtherVendor{"Vid_1234&Pid_5678", "6&FFFF&0&1", "USB\\VID_1234&PID_5678&REV_0001"};
const TestDevice kOtherProduct{"Vid_6E2D&Pid_0D42", "6&EEEE&0&1", "USB\\VID_6E2D&PID_0D42&REV_0100"};
// Matches, but the ids do not fit the 100-byte buffer: skipped.
const TestDevice kLongIds{"Vid_6E2D&Pid_0D41", "5&1A2B3C&0&3",
                          "USB\\VID_6E2D&PID_0D41&REV_0100&MI_00|USB\\VID_6E2D&PID_0D41&MI_00|"
                          "USB\\COMPOSITE_DEVICE_WITH_A_LONG_ID"};

REGSAM View() {
  BOOL wow64 = FALSE;
  ::IsWow64Process(::GetCurrentProcess(), &wow64);
  return wow64 ? KEY_WOW64_64KEY : 0;
}

void AddDevice(const TestDevice& device) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, device.Key().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | View(), nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::string ids = device.hardwareIds;
  for (char& c : ids)
    if (c == '|') c = '\0';
  ids.append(2, '\0');
  ::RegSetValueExA(key, "HardwareID", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(ids.data()),
                   static_cast<DWORD>(ids.size()));
  ::RegSetValueExA(key, "ClassGUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(kUsbClass), sizeof kUsbClass);
  ::RegCloseKey(key);
}

bool DeviceKeyExists(const TestDevice& device) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, device.Key().c_str(), 0, KEY_READ | View(), &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

class UsbDevices : public Traced {
 protected:
  void TearDown() override {
    for (const char* device : {"Vid_6E2D&Pid_0D41", "Vid_1234&Pid_5678", "Vid_6E2D&Pid_0D42"})
      ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kEnumUsb) + "\\" + device).c_str());
  }
  // The n-th call of `function` failing, with both of the printer's nodes
  // present when `nodes`: the walk gives false, having destroyed its device
  // list `destroys` times.
  static void ExpectFailedWalk(FakeOs& fake, const char* function, int nth, DWORD error, bool nodes, int destroys) {
    if (nodes) {
      AddDevice(kPrinterRev);
      AddDevice(kPrinterLower);
    }
    fake.FailNth(function, nth, error);
    EXPECT_FALSE(RemoveUsbDevices(kPrefix));
    EXPECT_EQ(fake.CountOf("SetupDiDestroyDeviceInfoList"), destroys);
  }
};

TEST_F(UsbDevices, RemovesThePrintersNodesOnly) {
  for (const TestDevice* device : {&kPrinterRev, &kOtherVendor, &kPrinterLower, &kOtherProduct, &kLongIds})
    AddDevice(*device);

  EXPECT_TRUE(RemoveUsbDevices(kPrefix));

  EXPECT_FALSE(DeviceKeyExists(kPrinterRev));
  EXPECT_FALSE(DeviceKeyExists(kPrinterLower));
  EXPECT_TRUE(DeviceKeyExists(kOtherVendor));
  EXPECT_TRUE(DeviceKeyExists(kOtherProduct));
  EXPECT_TRUE(DeviceKeyExists(kLongIds));
}

TEST_F(UsbDevices, OnlyTheFirst21CharactersOfThePrefixCount) {
  AddDevice(kPrinterRev);
  AddDevice(kOtherVendor);
  EXPECT_TRUE(RemoveUsbDevices("USB\\VID_6E2D&PID_0D41&REV_9999_THAT_IS_NOT_LOOKED_AT"));
  EXPECT_FALSE(DeviceKeyExists(kPrinterRev));
  EXPECT_TRUE(DeviceKeyExists(kOtherVendor));
}

TEST_F(UsbDevices, AsksForAllClassesOfTheUsbEnumerator) {
  FakeOs fake;
  EXPECT_TRUE(RemoveUsbDevices(kPrefix));
  const auto lists = fake.CallsOf("SetupDiGetClassDevsA");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].args[0], "0x0");
  EXPECT_EQ(lists[0].args[1], "USB");
  EXPECT_EQ(lists[0].args[3], std::to_string(DIGCF_ALLCLASSES));
  EXPECT_EQ(fake.CountOf("SetupDiDestroyDeviceInfoList"), 1);
}

TEST_F(UsbDevices, FailedRemovalStopsTheWalk) {
  FakeOs fake;
  ExpectFailedWalk(fake, "SetupDiRemoveDevice", 1, ERROR_ACCESS_DENIED, true, 1);
  EXPECT_EQ(fake.CountOf("SetupDiRemoveDevice"), 1);
  EXPECT_TRUE(DeviceKeyExists(kPrinterRev));
  EXPECT_TRUE(DeviceKeyExists(kPrinterLower));
}

TEST_F(UsbDevices, WalkErrorOtherThanNoMoreItemsEndsIt) {
  FakeOs fake;
  ExpectFailedWalk(fake, "SetupDiEnumDeviceInfo", 2, ERROR_INVALID_USER_BUFFER, true, 1);
  EXPECT_EQ(fake.CountOf("SetupDiEnumDeviceInfo"), 2);
  EXPECT_EQ(fake.CountOf("SetupDiRemoveDevice"), 1);
}

TEST_F(UsbDevices, NoDeviceListGivesFalse) {
  FakeOs fake;
  ExpectFailedWalk(fake, "SetupDiGetClassDevsA", 1, ERROR_INVALID_PARAMETER, false, 0);
  EXPECT_EQ(fake.CountOf("SetupDiEnumDeviceInfo"), 0);
}

TEST_F(UsbDevices, NormalEndGivesTheResultOfDestroyingTheList) {
  FakeOs fake;
  // Destroyed once: not again on the way out.
  ExpectFailedWalk(fake, "SetupDiDestroyDeviceInfoList", 1, ERROR_INVALID_HANDLE, false, 1);
}

}  // namespace
}  // namespace vkp
