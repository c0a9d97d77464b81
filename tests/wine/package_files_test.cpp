// The driver package as the installer ships it: the INF names the model for
// both architectures, every file it names is in the right Driver folder, and
// the language monitor and print processor DLLs do what the spooler needs.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "package_test_util.h"
#include "package/src/SpoolerDll.h"  // The table the monitors build.

using namespace pkgtest;

namespace {

const wchar_t kModel[] = L"NORVEKA VKP-M200";

std::wstring InfPath() { return DistDir() + L"\\VKPM200.inf"; }

std::vector<std::wstring> LineFields(HINF inf, const wchar_t* section, const wchar_t* key)
{
  std::vector<std::wstring> fields;
  INFCONTEXT ctx;
  if (!SetupFindFirstLineW(inf, section, key, &ctx))
    return fields;
  const DWORD n = SetupGetFieldCount(&ctx);
  for (DWORD i = 1; i <= n; ++i)
    fields.push_back(Field(ctx, i));
  return fields;
}

std::vector<std::wstring> SectionKeys(HINF inf, const wchar_t* section)
{
  std::vector<std::wstring> keys;
  INFCONTEXT ctx;
  if (!SetupFindFirstLineW(inf, section, nullptr, &ctx))
    return keys;
  do
    keys.push_back(Field(ctx, 0).empty() ? Field(ctx, 1) : Field(ctx, 0));
  while (SetupFindNextLine(&ctx, &ctx));
  return keys;
}

TEST(PackageInf, ParsesAsPrinterClassInf)
{
  ASSERT_FALSE(DistDir().empty()) << "VKP_DIST not set";
  InfFile inf(InfPath());
  ASSERT_TRUE(inf.Valid()) << "SetupOpenInfFileW error " << GetLastError();
  EXPECT_EQ(LineFields(inf.Get(), L"Version", L"Class"), std::vector<std::wstring>{L"Printer"});
  EXPECT_EQ(LineFields(inf.Get(), L"Version", L"ClassGuid"),
            std::vector<std::wstring>{L"{4D36E979-E325-11CE-BFC1-08002BE10318}"});
  EXPECT_EQ(LineFields(inf.Get(), L"Version", L"Provider"), std::vector<std::wstring>{L"NORVEKA"});
  const auto ver = LineFields(inf.Get(), L"Version", L"DriverVer");
  ASSERT_EQ(ver.size(), 2u);
  EXPECT_EQ(ver[1], L"2.0.2.0");
  EXPECT_TRUE(LineFields(inf.Get(), L"Version", L"CatalogFile").empty());
  EXPECT_EQ(LineFields(inf.Get(), L"Manufacturer", L"NORVEKA"),
            (std::vector<std::wstring>{L"NORVEKA", L"NTamd64"}));
}

TEST(PackageInf, ListsTheModelInBothSections)
{
  InfFile inf(InfPath());
  ASSERT_TRUE(inf.Valid());
  for (const wchar_t* section : {L"NORVEKA", L"NORVEKA.NTamd64"}) {
    const auto f = LineFields(inf.Get(), section, kModel);
    ASSERT_EQ(f.size(), 4u) << "section " << section;
    EXPECT_EQ(f[0], L"VKPM200.Install");
    EXPECT_EQ(f[1], L"norveka_vkp_m2007c1e");
    EXPECT_EQ(f[2], L"USBPRINT\\NORVEKAVKP-M2007C1E");
    EXPECT_EQ(f[3], L"USB\\Vid_6E2D&Pid_0D41");
  }
}

TEST(PackageInf, InstallSectionNamesDriverMonitorAndProcessor)
{
  InfFile inf(InfPath());
  ASSERT_TRUE(inf.Valid());
  const wchar_t* s = L"VKPM200.Install";
  EXPECT_EQ(LineFields(inf.Get(), s, L"DataFile"), std::vector<std::wstring>{L"VKP200.GPD"});
  EXPECT_EQ(LineFields(inf.Get(), s, L"DriverFile"), std::vector<std::wstring>{L"UNIDRV.DLL"});
  EXPECT_EQ(LineFields(inf.Get(), s, L"ConfigFile"), std::vector<std::wstring>{L"UNIDRVUI.DLL"});
  EXPECT_EQ(LineFields(inf.Get(), s, L"HelpFile"), std::vector<std::wstring>{L"UNIDRV.HLP"});
  EXPECT_EQ(LineFields(inf.Get(), s, L"LanguageMonitor"),
            std::vector<std::wstring>{L"ZEM Language Monitor VKP-M200,VKMON200.dll"});
  EXPECT_EQ(LineFields(inf.Get(), s, L"PrintProcessor"),
            std::vector<std::wstring>{L"ZEM PRINT PROCESSOR VKP-M200,VKPRO200.dll"});
  EXPECT_EQ(LineFields(inf.Get(), L"DestinationDirs", L"DefaultDestDir"), std::vector<std::wstring>{L"66000"});
  EXPECT_EQ(LineFields(inf.Get(), L"DestinationDirs", L"VKPM200.Monitor"), std::vector<std::wstring>{L"66002"});
  EXPECT_EQ(LineFields(inf.Get(), L"DestinationDirs", L"VKPM200.Processor"), std::vector<std::wstring>{L"66001"});

  std::set<std::wstring> copied;
  for (const std::wstring& sec : LineFields(inf.Get(), s, L"CopyFiles"))
    for (const std::wstring& f : SectionKeys(inf.Get(), sec.c_str()))
      copied.insert(f);
  const std::set<std::wstring> expected{L"VKP200.dll",   L"VKUI200.dll",  L"VKUNI200.dll", L"VKUI200.INI",
                                        L"VKP200.BUD",   L"UNIRES.DLL",   L"STDNAMES.GPD", L"VKP200.GPD",
                                        L"UNIDRV.DLL",   L"UNIDRVUI.DLL", L"UNIDRV.HLP",   L"VKMON200.dll",
                                        L"VKPRO200.dll"};
  EXPECT_EQ(copied, expected);
}

TEST(PackageInf, EveryNamedFileIsInItsArchitectureFolder)
{
  InfFile inf(InfPath());
  ASSERT_TRUE(inf.Valid());
  struct Arch { const wchar_t* files; const wchar_t* names; const wchar_t* folder; };
  for (const Arch& a : {Arch{L"SourceDisksFiles.x86", L"SourceDisksNames.x86", L"Driver32"},
                        Arch{L"SourceDisksFiles.amd64", L"SourceDisksNames.amd64", L"Driver64"}}) {
    const auto disk = LineFields(inf.Get(), a.names, L"1");
    ASSERT_GE(disk.size(), 4u) << a.names;
    EXPECT_EQ(disk[3], a.folder);
    const auto files = SectionKeys(inf.Get(), a.files);
    EXPECT_EQ(files.size(), 13u) << a.files;
    for (const std::wstring& f : files) {
      EXPECT_EQ(LineFields(inf.Get(), a.files, f.c_str()), std::vector<std::wstring>{L"1"}) << f;
      const std::wstring path = DistDir() + L"\\" + a.folder + L"\\" + f;
      EXPECT_TRUE(FileExists(path)) << std::string(path.begin(), path.end());
    }
  }
}

TEST(PackageDlls, PlugInsAreLoadableDlls)
{
  for (const wchar_t* name : {L"VKP200.dll", L"VKUI200.dll", L"VKUNI200.dll", L"UNIDRV.DLL", L"UNIDRVUI.DLL",
                              L"UNIRES.DLL"}) {
    const std::wstring path = DistDir() + L"\\Driver32\\" + name;
    HMODULE m = LoadLibraryW(path.c_str());
    ASSERT_NE(m, nullptr) << "LoadLibrary error " << GetLastError();
    auto info = reinterpret_cast<DWORD(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(m, "VkpModuleInfo")));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info() >> 16, 0x0200u);
    FreeLibrary(m);
  }
}

// AddMonitorA loads the DLL and needs its InitializePrintMonitor2.
TEST(PackageDlls, AddMonitorAcceptsTheLanguageMonitor)
{
  wchar_t sys[MAX_PATH] = {};
  GetSystemDirectoryW(sys, MAX_PATH);
  const std::wstring target = std::wstring(sys) + L"\\VKMON200.dll";
  ASSERT_TRUE(CopyFileW((DistDir() + L"\\Driver32\\VKMON200.dll").c_str(), target.c_str(), FALSE));
  char name[] = "ZEM Language Monitor VKP-M200", env[] = "Windows NT x86", dll[] = "VKMON200.dll";
  MONITOR_INFO_2A mi{name, env, dll};
  ASSERT_TRUE(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&mi))) << "error " << GetLastError();
  EXPECT_FALSE(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&mi)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
  EXPECT_TRUE(DeleteMonitorA(nullptr, env, name));
}

// A fake port monitor that records what the language monitor passes down.
struct FakePort {
  std::string written;
  std::wstring openedPort;
  int starts = 0, ends = 0, closes = 0;
} g_fake;

BOOL WINAPI FakeOpenPort(HANDLE, LPWSTR name, PHANDLE h)
{
  g_fake.openedPort = name;
  *h = &g_fake;
  return TRUE;
}
BOOL WINAPI FakeStartDoc(HANDLE h, LPWSTR, DWORD, DWORD, LPBYTE)
{
  g_fake.starts += (h == &g_fake);
  return TRUE;
}
BOOL WINAPI FakeWrite(HANDLE h, LPBYTE buf, DWORD n, LPDWORD written)
{
  if (h != &g_fake)
    return FALSE;
  const DWORD take = n > 5 ? 5 : n;  // Short writes: the caller must loop.
  g_fake.written.append(reinterpret_cast<char*>(buf), take);
  *written = take;
  return TRUE;
}
BOOL WINAPI FakeRead(HANDLE, LPBYTE buf, DWORD n, LPDWORD got)
{
  const char reply[] = "OK";
  *got = n < 2 ? n : 2;
  memcpy(buf, reply, *got);
  return TRUE;
}
BOOL WINAPI FakeEndDoc(HANDLE h)
{
  g_fake.ends += (h == &g_fake);
  return TRUE;
}
BOOL WINAPI FakeClose(HANDLE h)
{
  g_fake.closes += (h == &g_fake);
  return TRUE;
}

TEST(PackageDlls, LanguageMonitorPassesPortCallsThrough)
{
  HMODULE m = LoadLibraryW((DistDir() + L"\\Driver32\\VKMON200.dll").c_str());
  ASSERT_NE(m, nullptr);
  using Init = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);
  auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(m, "InitializePrintMonitor2")));
  ASSERT_NE(init, nullptr);
  MONITORINIT mi{};
  mi.cbSize = sizeof(mi);
  mi.bLocal = TRUE;
  HANDLE hmon = nullptr;
  LPMONITOR2 lm = init(&mi, &hmon);
  ASSERT_NE(lm, nullptr);
  EXPECT_EQ(lm->pfnEnumPorts, nullptr) << "a language monitor lists no ports";
  ASSERT_NE(lm->pfnOpenPortEx, nullptr);

  MONITOR2 port = vkpdll::PortTable(FakeOpenPort, FakeStartDoc, FakeWrite, FakeRead, FakeEndDoc, FakeClose);
  wchar_t portName[] = L"COM2:", printer[] = L"P";
  HANDLE h = nullptr;
  ASSERT_TRUE(lm->pfnOpenPortEx(hmon, nullptr, portName, printer, &h, &port));
  EXPECT_EQ(g_fake.openedPort, L"COM2:");
  EXPECT_TRUE(lm->pfnStartDocPort(h, printer, 7, 1, nullptr));
  BYTE data[] = "\x1b@receipt\n\x1dV\x42";
  DWORD total = 0;
  while (total < sizeof(data) - 1) {
    DWORD w = 0;
    ASSERT_TRUE(lm->pfnWritePort(h, data + total, sizeof(data) - 1 - total, &w));
    ASSERT_GT(w, 0u);
    total += w;
  }
  BYTE reply[8] = {};
  DWORD got = 0;
  EXPECT_TRUE(lm->pfnReadPort(h, reply, sizeof(reply), &got));
  EXPECT_EQ(got, 2u);
  EXPECT_TRUE(lm->pfnEndDocPort(h));
  EXPECT_TRUE(lm->pfnClosePort(h));
  EXPECT_EQ(g_fake.written, std::string(reinterpret_cast<char*>(data), sizeof(data) - 1));
  EXPECT_EQ(g_fake.starts, 1);
  EXPECT_EQ(g_fake.ends, 1);
  EXPECT_EQ(g_fake.closes, 1);
  FreeLibrary(m);
}

// Registered as the spooler expects, then found and asked the way the
// spooler does at job time: the DLL named by the registration, loaded from
// the print-processor directory, lists RAW. (Wine's own
// EnumPrintProcessorDatatypesW is a stub, so the spooler's entry point
// cannot be used for this.)
TEST(PackageDlls, PrintProcessorListsRawOnceRegistered)
{
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  wchar_t env[] = L"Windows NT x86";
  ASSERT_TRUE(GetPrintProcessorDirectoryW(nullptr, env, 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir), &needed));
  ASSERT_TRUE(CopyFileW((DistDir() + L"\\Driver32\\VKPRO200.dll").c_str(),
                        (std::wstring(dir) + L"\\VKPRO200.dll").c_str(), FALSE));
  wchar_t dll[] = L"VKPRO200.dll", name[] = L"ZEM PRINT PROCESSOR VKP-M200";
  ASSERT_TRUE(AddPrintProcessorW(nullptr, env, dll, name)) << "error " << GetLastError();

  RegKey key;
  ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Print\\Environments\\"
                                         L"Windows NT x86\\Print Processors\\ZEM PRINT PROCESSOR VKP-M200"),
            ERROR_SUCCESS);
  const std::wstring driver = key.String(L"Driver");
  ASSERT_EQ(driver, L"VKPRO200.dll");
  HMODULE m = LoadLibraryW((std::wstring(dir) + L"\\" + driver).c_str());
  ASSERT_NE(m, nullptr);
  using Enum = BOOL(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
  auto enumTypes =
      reinterpret_cast<Enum>(reinterpret_cast<void*>(GetProcAddress(m, "EnumPrintProcessorDatatypesW")));
  ASSERT_NE(enumTypes, nullptr);
  DWORD count = 0;
  needed = 0;
  EXPECT_FALSE(enumTypes(nullptr, name, 1, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_GT(needed, 0u);
  std::vector<BYTE> buf(needed);
  ASSERT_TRUE(enumTypes(nullptr, name, 1, buf.data(), needed, &needed, &count));
  ASSERT_EQ(count, 1u);
  EXPECT_STREQ(reinterpret_cast<DATATYPES_INFO_1W*>(buf.data())->pName, L"RAW");
  FreeLibrary(m);
}

TEST(PackageDlls, PrintProcessorRefusesOtherDatatypesAndReportsCaps)
{
  HMODULE m = LoadLibraryW((DistDir() + L"\\Driver32\\VKPRO200.dll").c_str());
  ASSERT_NE(m, nullptr);
  using Open = HANDLE(WINAPI*)(LPWSTR, PPRINTPROCESSOROPENDATA);
  using Close = BOOL(WINAPI*)(HANDLE);
  using Control = BOOL(WINAPI*)(HANDLE, DWORD);
  using Caps = DWORD(WINAPI*)(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD);
  auto open = reinterpret_cast<Open>(reinterpret_cast<void*>(GetProcAddress(m, "OpenPrintProcessor")));
  auto close = reinterpret_cast<Close>(reinterpret_cast<void*>(GetProcAddress(m, "ClosePrintProcessor")));
  auto control = reinterpret_cast<Control>(reinterpret_cast<void*>(GetProcAddress(m, "ControlPrintProcessor")));
  auto caps = reinterpret_cast<Caps>(reinterpret_cast<void*>(GetProcAddress(m, "GetPrintProcessorCapabilities")));
  ASSERT_TRUE(open && close && control && caps);
  ASSERT_NE(GetProcAddress(m, "PrintDocumentOnPrintProcessor"), nullptr);

  wchar_t printer[] = L"P", emf[] = L"NT EMF 1.008", raw[] = L"RAW";
  PRINTPROCESSOROPENDATA data{};
  data.pDatatype = emf;
  EXPECT_EQ(open(printer, &data), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATATYPE));
  data.pDatatype = raw;
  HANDLE h = open(printer, &data);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(control(h, JOB_CONTROL_PAUSE));
  EXPECT_TRUE(control(h, JOB_CONTROL_RESUME));
  EXPECT_FALSE(control(h, 99));
  EXPECT_TRUE(close(h));

  PRINTPROCESSOR_CAPS_1 c{};
  DWORD needed = 0;
  EXPECT_EQ(caps(raw, 0, nullptr, 0, &needed), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(needed, sizeof(c));
  ASSERT_EQ(caps(raw, 0, reinterpret_cast<LPBYTE>(&c), sizeof(c), &needed), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(c.dwLevel, 1u);
  EXPECT_EQ(c.dwNumberOfCopies, 1u);
  FreeLibrary(m);
}

}  // namespace
