// Registry key removal and the access override, in process under Wine, in
// both the 64-bit prefix (WOW64: two registry views) and the 32-bit prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/AccessOverride.h"
#include "support/ProtectedPrintMode.h"
#include "support/RegistryKeyRemoval.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestRegistry.h"
#include "tests/wine/TraceReading.h"

namespace vkp {
const char* TraceLogFileName() { return "VKP-M200_SupportRegistryTest.txt"; }
}  // namespace vkp

namespace vkp {
namespace {

using test::FakeOs;

const char kPrinterKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200";
const char kPrinterPath[] = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200";
const char kOtherPrinterKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\OTHER_PRINTER";
const char kTestTree[] = "SOFTWARE\\VKPTest";

// The view the programs address on this system.
REGSAM ProgramView() { return test::View64(test::RunsUnderWow64()); }

void CreateKey(const std::string& path, REGSAM view) { test::CreateKey(view, path, "Value", "test"); }

LONG ProbeKey(const std::string& path, REGSAM view) {
  HKEY key = nullptr;
  const LONG result = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key);
  if (result == ERROR_SUCCESS) ::RegCloseKey(key);
  return result;
}

void DeleteTestTree(const std::string& path, REGSAM view) {
  HKEY parent = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &parent) != 0) return;
  ::SHDeleteKeyA(parent, path.substr(std::string("SOFTWARE\\").size()).c_str());
  ::RegCloseKey(parent);
}

using test::TraceLinesContaining;

class RegistryRemoval : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    DeleteTestTree(kTestTree, KEY_WOW64_64KEY);
    DeleteTestTree(kTestTree, KEY_WOW64_32KEY);
  }
  void TearDown() override {
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kPrinterKey);
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kOtherPrinterKey);
    DeleteTestTree(kTestTree, KEY_WOW64_64KEY);
    DeleteTestTree(kTestTree, KEY_WOW64_32KEY);
  }
};

TEST(SupportEnvironment, PrefixArchitectureIsTheOneAskedFor) {
  const char* arch = std::getenv("VKP_TEST_ARCH");
  if (arch == nullptr) GTEST_SKIP() << "not run through ctest";
  EXPECT_EQ(test::RunsUnderWow64(), std::string(arch) == "win64");
}

TEST_F(RegistryRemoval, RemoveRegKeyDeletesThePrinterKeyWithItsInstances) {
  const std::string key = kPrinterKey;
  CreateKey(key + "\\1&2345&0&USB001", ProgramView());
  CreateKey(key + "\\7&ABC&0&USB002\\Device Parameters", ProgramView());
  CreateKey(kOtherPrinterKey, ProgramView());

  RemoveRegKey(kPrinterPath, kPrinterKey, test::RunsUnderWow64() ? 1 : 0);

  EXPECT_EQ(ProbeKey(key, ProgramView()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ProbeKey(kOtherPrinterKey, ProgramView()), ERROR_SUCCESS);
  const std::string trace = test::ReadTraceLog();
  const auto first = trace.find(std::string("REGKEY_1 : ") + kPrinterPath + "\r\n");
  const auto second = trace.find(std::string("REGKEY_2 : ") + kPrinterKey + "\r\n");
  ASSERT_NE(first, std::string::npos) << trace;
  ASSERT_NE(second, std::string::npos) << trace;
  EXPECT_LT(first, second);
  EXPECT_TRUE(TraceLinesContaining(" failed : ").empty()) << trace;
}

TEST_F(RegistryRemoval, MissingKeyGivesOneFailureLineAndGoesOn) {
  ASSERT_EQ(ProbeKey(kPrinterKey, ProgramView()), ERROR_FILE_NOT_FOUND);

  RemoveRegKey(kPrinterPath, kPrinterKey, test::RunsUnderWow64() ? 1 : 0);

  const auto failures = TraceLinesContaining(" failed : ");
  ASSERT_EQ(failures.size(), 1u) << test::ReadTraceLog();
  const std::string expected = std::string(test::RunsUnderWow64() ? "MyRegDeleteKeyEx" : "SHDeleteKey") +
                               " failed : " + kPrinterKey + " (";
  EXPECT_NE(failures[0].find(expected), std::string::npos) << failures[0];
  EXPECT_EQ(TraceLinesContaining("REGKEY_2 : ").size(), 1u);
}

TEST_F(RegistryRemoval, EveryCallAppliesTheFullOverrideWithWriteDacAccess) {
  FakeOs fake;
  for (int call = 0; call < 2; ++call) {
    CreateKey(std::string(kPrinterKey) + "\\1&2345&0&USB001", ProgramView());
    RemoveRegKey(kPrinterPath, kPrinterKey, test::RunsUnderWow64() ? 1 : 0);
    EXPECT_EQ(ProbeKey(kPrinterKey, ProgramView()), ERROR_FILE_NOT_FOUND) << "call " << call;
  }
  const auto entries = fake.CallsOf("BuildExplicitAccessWithNameA");
  ASSERT_EQ(entries.size(), 2u);
  for (const auto& entry : entries) {
    EXPECT_EQ(entry.args[2], std::to_string(KEY_ALL_ACCESS));
    EXPECT_EQ(entry.args[3], std::to_string(GRANT_ACCESS));
    EXPECT_EQ(entry.args[4], std::to_string(SUB_CONTAINERS_ONLY_INHERIT));
  }
  int overrideOpens = 0;
  for (const auto& open : fake.CallsOf("RegOpenKeyExA")) {
    if (open.args[1] == kPrinterKey && open.args[3] == std::to_string(READ_CONTROL | KEY_ENUMERATE_SUB_KEYS | WRITE_DAC))
      ++overrideOpens;
  }
  EXPECT_EQ(overrideOpens, 2);
  EXPECT_EQ(fake.CountOf("SetSecurityInfo"), 2);
}

TEST_F(RegistryRemoval, MyRegDeleteKeyExDeletesATreeInTheChosenViewOnly) {
  const std::string tree = kTestTree;
  for (const char* leaf : {"\\A\\B", "\\A\\C", "\\D"}) CreateKey(tree + leaf, KEY_WOW64_64KEY);
  if (test::RunsUnderWow64()) CreateKey(tree + "\\A\\B", KEY_WOW64_32KEY);  // the 32-bit view's twin

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);

  EXPECT_EQ(ProbeKey(tree, KEY_WOW64_64KEY), ERROR_FILE_NOT_FOUND);
  if (test::RunsUnderWow64()) {
    EXPECT_EQ(ProbeKey(tree + "\\A\\B", KEY_WOW64_32KEY), ERROR_SUCCESS);
    EXPECT_EQ(ProbeKey("SOFTWARE\\Wow6432Node\\VKPTest\\A\\B", KEY_WOW64_64KEY), ERROR_SUCCESS);
  }
}

TEST_F(RegistryRemoval, MyRegDeleteKeyExOfAMissingKeyGivesTheDeletionsCode) {
  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\VKPTest\\Missing", KEY_WOW64_64KEY, 0),
            ERROR_FILE_NOT_FOUND);
}

// Stands in for RegDeleteKeyExA: records each call and forwards it to the
// real function, except for one key that it refuses.
struct DeletionLog {
  struct Call {
    std::string subKey;
    REGSAM view;
    DWORD reserved;
  };
  static inline std::vector<Call> calls;
  static inline std::string refuse;  // subkey answered with ERROR_ACCESS_DENIED
  static inline bool forward = true;

  static LONG WINAPI Delete(HKEY root, LPCSTR subKey, REGSAM view, DWORD reserved) {
    calls.push_back({subKey ? subKey : "(null)", view, reserved});
    if (subKey != nullptr && refuse == subKey) return ERROR_ACCESS_DENIED;
    if (!forward) return ERROR_ACCESS_DENIED;
    using Fn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    auto real = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("advapi32"), "RegDeleteKeyExA")));
    return real(root, subKey, view, reserved);
  }
  static void Install(FakeOs& fake) {
    calls.clear();
    refuse.clear();
    forward = true;
    fake.Replace<&PlatformApi::GetProcAddress>([](HMODULE module, LPCSTR name) -> FARPROC {
      if (std::string(name) == "RegDeleteKeyExA")
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&DeletionLog::Delete));
      return RealOs().GetProcAddress(module, name);
    });
  }
};

TEST_F(RegistryRemoval, MyRegDeleteKeyExDeletesLeafFirstWithTheArgumentsUnchanged) {
  const std::string tree = kTestTree;
  for (const char* leaf : {"\\A\\B", "\\A\\C", "\\D"}) CreateKey(tree + leaf, KEY_WOW64_64KEY);
  FakeOs fake;
  DeletionLog::Install(fake);

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);

  std::vector<std::string> order;
  for (const auto& call : DeletionLog::calls) {
    EXPECT_EQ(call.view, static_cast<REGSAM>(KEY_WOW64_64KEY)) << call.subKey;
    EXPECT_EQ(call.reserved, 0u) << call.subKey;
    order.push_back(call.subKey);
  }
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order.back(), tree);
  auto position = [&](const std::string& key) {
    return std::find(order.begin(), order.end(), key) - order.begin();
  };
  EXPECT_LT(position(tree + "\\A\\B"), position(tree + "\\A"));
  EXPECT_LT(position(tree + "\\A\\C"), position(tree + "\\A"));
  EXPECT_LT(position(tree + "\\D"), position(tree));
  EXPECT_EQ(ProbeKey(tree, KEY_WOW64_64KEY), ERROR_FILE_NOT_FOUND);
  // The entry is looked up once for the call, not once per key.
  EXPECT_EQ(fake.CountOf("GetProcAddress"), 1);
}

TEST_F(RegistryRemoval, MyRegDeleteKeyExStopsAtASubkeyThatCannotBeDeleted) {
  const std::string tree = kTestTree;
  for (const char* leaf : {"\\A\\B", "\\D"}) CreateKey(tree + leaf, KEY_WOW64_64KEY);
  FakeOs fake;
  DeletionLog::Install(fake);
  DeletionLog::refuse = tree + "\\A\\B";

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), ERROR_ACCESS_DENIED);

  for (const auto& call : DeletionLog::calls) {
    EXPECT_NE(call.subKey, tree + "\\A");  // the refused key's parents are not tried
    EXPECT_NE(call.subKey, tree);
  }
  EXPECT_EQ(ProbeKey(tree + "\\A\\B", KEY_WOW64_64KEY), ERROR_SUCCESS);
}

// Wine keeps no registry links a test could make: the seam reports one.
TEST_F(RegistryRemoval, MyRegDeleteKeyExNeitherFollowsNorDeletesARegistryLink) {
  const std::string tree = kTestTree;
  for (const char* leaf : {"\\Link\\Target", "\\D"}) CreateKey(tree + leaf, KEY_WOW64_64KEY);
  FakeOs fake;
  DeletionLog::Install(fake);
  fake.Replace<&PlatformApi::RegQueryValueExA>(
      [](HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE, LPDWORD size) -> LONG {
        char path[8] = "";
        DWORD length = sizeof path;
        // The key named "Link" (its one subkey is "Target") is the link.
        const bool isLink = ::RegEnumKeyExA(key, 0, path, &length, nullptr, nullptr, nullptr, nullptr) == 0 &&
                            std::string(path) == "Target";
        if (!isLink || std::string(name) != "SymbolicLinkValue") return ERROR_FILE_NOT_FOUND;
        *type = REG_LINK;
        *size = 8;
        return ERROR_SUCCESS;
      });

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), ERROR_ACCESS_DENIED);
  for (const auto& call : DeletionLog::calls) {
    EXPECT_EQ(call.subKey.find(tree + "\\Link"), std::string::npos) << call.subKey;
    EXPECT_NE(call.subKey, tree);
  }
  EXPECT_EQ(ProbeKey(tree + "\\Link\\Target", KEY_WOW64_64KEY), ERROR_SUCCESS);
}

TEST_F(RegistryRemoval, AFailedDeletionPutsTheAccessListBack) {
  CreateKey(std::string(kPrinterKey) + "\\1&2345&0&USB001", ProgramView());
  FakeOs fake;
  fake.FailNth(test::RunsUnderWow64() ? "GetProcAddress" : "SHDeleteKeyA", 1, ERROR_ACCESS_DENIED);
  RemoveRegKey(kPrinterPath, kPrinterKey, test::RunsUnderWow64() ? 1 : 0);

  EXPECT_EQ(ProbeKey(kPrinterKey, ProgramView()), ERROR_SUCCESS);
  const auto sets = fake.CallsOf("SetSecurityInfo");
  ASSERT_EQ(sets.size(), 2u) << "the override, then the list it replaced";
  EXPECT_NE(sets[0].args[5], sets[1].args[5]) << "not the overridden list again";
  EXPECT_EQ(TraceLinesContaining("ACCESS RESTORED : ").size(), 1u) << test::ReadTraceLog();
}

TEST_F(RegistryRemoval, MyRegDeleteKeyExNeverWalksTheRootForAnEmptySubkey) {
  FakeOs fake;
  DeletionLog::Install(fake);
  DeletionLog::forward = false;

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, "", KEY_WOW64_64KEY, 0), ERROR_ACCESS_DENIED);

  EXPECT_EQ(fake.CountOf("RegEnumKeyExA"), 0);
  ASSERT_EQ(DeletionLog::calls.size(), 1u);
  EXPECT_EQ(DeletionLog::calls[0].subKey, "");
}

TEST_F(RegistryRemoval, MyRegDeleteKeyExWithoutThePlatformEntryGivesMinusOne) {
  CreateKey(std::string(kTestTree) + "\\A", KEY_WOW64_64KEY);
  FakeOs fake;
  fake.FailNth("GetProcAddress", 1, ERROR_PROC_NOT_FOUND);

  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), -1);
  EXPECT_EQ(ProbeKey(kTestTree, KEY_WOW64_64KEY), ERROR_SUCCESS);
  EXPECT_EQ(fake.CountOf("RegOpenKeyExA"), 0);

  const auto module = fake.CallsOf("GetModuleHandleA");
  ASSERT_EQ(module.size(), 1u);
  EXPECT_EQ(module[0].args[0], "Advapi32");
  ASSERT_EQ(fake.CallsOf("GetProcAddress").size(), 1u);
  EXPECT_EQ(fake.CallsOf("GetProcAddress")[0].args[1], "RegDeleteKeyExA");

  // Looked up afresh on the next call, which finds it.
  EXPECT_EQ(MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, kTestTree, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
  EXPECT_EQ(fake.CountOf("GetProcAddress"), 2);
  EXPECT_EQ(ProbeKey(kTestTree, KEY_WOW64_64KEY), ERROR_FILE_NOT_FOUND);
}

// ---- access override ----

const char kAclKey[] = "SOFTWARE\\VKPTestAcl";

// True when the key's access list holds an allow entry for Everyone with
// exactly this mask, passed on to subkeys.
bool HasEveryoneEntry(const char* subKey, DWORD mask) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, READ_CONTROL, &key) != ERROR_SUCCESS) return false;
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD got = ::GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                      nullptr, &acl, nullptr, &descriptor);
  ::RegCloseKey(key);
  bool found = false;
  if (got == ERROR_SUCCESS && acl != nullptr) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    for (DWORD i = 0; i < acl->AceCount; ++i) {
      void* raw = nullptr;
      if (!::GetAce(acl, i, &raw)) continue;
      auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
      if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == mask &&
          (ace->Header.AceFlags & CONTAINER_INHERIT_ACE) && ::EqualSid(&ace->SidStart, everyone))
        found = true;
    }
    ::FreeSid(everyone);
  }
  if (descriptor != nullptr) ::LocalFree(descriptor);
  return found;
}

class AccessOverride : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTraceLog();
    CreateKey(kAclKey, 0);
  }
  void TearDown() override { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAclKey); }
};

TEST_F(AccessOverride, GrantWritesAnEntryForEveryone) {
  ASSERT_FALSE(HasEveryoneEntry(kAclKey, KEY_ALL_ACCESS));
  char request[] = "/PG:Everyone:Fc";

  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl", request), static_cast<DWORD>(ERROR_SUCCESS));

  EXPECT_TRUE(HasEveryoneEntry(kAclKey, KEY_ALL_ACCESS));
  EXPECT_STREQ(request, "/PG:Everyone:Fc");
}

TEST_F(AccessOverride, LowerCaseTextAndPathWriteTheSameEntry) {
  EXPECT_EQ(SetKeyAccess("hklm\\software\\vkptestacl", "/pg:everyone:fc"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(HasEveryoneEntry(kAclKey, KEY_ALL_ACCESS));
}

TEST_F(AccessOverride, ReadRightsWriteAReadEntry) {
  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl", "/PG:Everyone:Rd"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(HasEveryoneEntry(kAclKey, KEY_READ));
  EXPECT_FALSE(HasEveryoneEntry(kAclKey, KEY_ALL_ACCESS));
}

TEST_F(AccessOverride, RefusedOptionChangesNothing) {
  FakeOs fake;
  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl", "/PX:Everyone:Fc"),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(fake.CountOf("RegOpenKeyExA"), 0);
  EXPECT_EQ(fake.CountOf("SetSecurityInfo"), 0);
  EXPECT_FALSE(HasEveryoneEntry(kAclKey, KEY_ALL_ACCESS));
}

TEST_F(AccessOverride, MissingKeyGivesTheOpenCode) {
  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl\\Missing", "/PG:Everyone:Fc"),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(AccessOverride, FailedWriteIsReportedAndBothBuffersAreFreed) {
  FakeOs fake;
  fake.FailNth("SetSecurityInfo", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl", "/PG:Everyone:Fc"),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(fake.CountOf("LocalFree"), 2);  // the new list and the old descriptor
  EXPECT_EQ(fake.CountOf("RegCloseKey"), fake.CountOf("RegOpenKeyExA") + 1);  // + the root
}

TEST_F(AccessOverride, FailedReadEndsBeforeTheMerge) {
  FakeOs fake;
  fake.FailNth("GetSecurityInfo", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetKeyAccess("HKLM\\SOFTWARE\\VKPTestAcl", "/PG:Everyone:Fc"),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(fake.CountOf("SetEntriesInAclA"), 0);
  EXPECT_EQ(fake.CountOf("SetSecurityInfo"), 0);
}

TEST(OpenKeyByPath, BareRootNameGivesTheRootKey) {
  UniqueRegKey key;
  EXPECT_EQ(OpenKeyByPath("HKLM", key), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(key.get(), HKEY_LOCAL_MACHINE);
}

TEST(OpenKeyByPath, UnknownRootIsRefused) {
  UniqueRegKey key;
  EXPECT_EQ(OpenKeyByPath("HKXX\\SOFTWARE", key), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(key.valid());
}

TEST(OpenKeyByPath, OwnComputerByNameOpensTheKey) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
  DWORD size = sizeof name;
  ASSERT_TRUE(::GetComputerNameA(name, &size));
  UniqueRegKey key;
  EXPECT_EQ(OpenKeyByPath((std::string("\\\\") + name + "\\HKLM\\SOFTWARE").c_str(), key),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(key.valid());
}

TEST(OpenKeyByPath, OtherComputersCurrentUserIsRefusedWithoutConnecting) {
  FakeOs fake;
  UniqueRegKey key;
  EXPECT_EQ(OpenKeyByPath("\\\\server\\HKCU\\Software", key), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(fake.CountOf("RegConnectRegistryA"), 0);
}

TEST(OpenKeyByPath, FailedConnectionEndsWithItsCode) {
  FakeOs fake;
  fake.FailNth("RegConnectRegistryA", 1, ERROR_BAD_NETPATH);
  UniqueRegKey key;
  EXPECT_EQ(OpenKeyByPath("\\\\server\\HKLM\\SOFTWARE", key), static_cast<DWORD>(ERROR_BAD_NETPATH));
  const auto connects = fake.CallsOf("RegConnectRegistryA");
  ASSERT_EQ(connects.size(), 1u);
  EXPECT_EQ(connects[0].args[0], "\\\\server");
  EXPECT_EQ(fake.CountOf("RegOpenKeyExA"), 0);
  EXPECT_FALSE(key.valid());
}

// ---- Windows protected print mode ----

class ProtectedPrintMode : public ::testing::Test {
 protected:
  static constexpr char kKey[] = "SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
  void SetUp() override { DeleteTestTree(kKey, KEY_WOW64_64KEY); }
  void TearDown() override { DeleteTestTree(kKey, KEY_WOW64_64KEY); }
  // Where Windows records it: the 64-bit view.
  static void Set(const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
  }
};

TEST_F(ProtectedPrintMode, EitherValueOfOneTurnsItOn) {
  EXPECT_FALSE(ProtectedPrintModeOn()) << "no key";
  Set("WindowsProtectedPrintGroupPolicyState", 1);
  EXPECT_TRUE(ProtectedPrintModeOn()) << "group policy";
  Set("WindowsProtectedPrintGroupPolicyState", 0);
  Set("WindowsProtectedPrintMode", 1);
  EXPECT_TRUE(ProtectedPrintModeOn()) << "the switch in Settings";
  Set("WindowsProtectedPrintMode", 0);
  EXPECT_FALSE(ProtectedPrintModeOn()) << "both 0";
}

}  // namespace
}  // namespace vkp
