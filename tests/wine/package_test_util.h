// Helpers shared by the package tests: paths, RAII, registry and process.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace pkgtest {

// The assembled installer folder (set by run-package-test).
inline std::wstring DistDir()
{
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"VKP_DIST", buf, MAX_PATH);
  return (n > 0 && n < MAX_PATH) ? std::wstring(buf, n) : std::wstring();
}

inline bool Is64BitSystem()
{
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

inline std::wstring Environment() { return Is64BitSystem() ? L"Windows x64" : L"Windows NT x86"; }

inline std::wstring WindowsDir()
{
  wchar_t buf[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  return std::wstring(buf, n < MAX_PATH ? n : 0);
}

inline bool FileExists(const std::wstring& path)
{
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

inline std::string ReadFileBytes(const std::wstring& path)
{
  std::string data;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return data;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
    data.append(buf, got);
  CloseHandle(h);
  return data;
}

class InfFile {
 public:
  explicit InfFile(const std::wstring& path)
      : h_(SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr)) {}
  ~InfFile()
  {
    if (h_ != INVALID_HANDLE_VALUE)
      SetupCloseInfFile(h_);
  }
  InfFile(const InfFile&) = delete;
  InfFile& operator=(const InfFile&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HINF Get() const { return h_; }

 private:
  HINF h_;
};

inline std::wstring Field(INFCONTEXT& ctx, DWORD index)
{
  wchar_t buf[512] = {};
  if (!SetupGetStringFieldW(&ctx, index, buf, 512, nullptr))
    return std::wstring();
  return buf;
}

class RegKey {
 public:
  RegKey() = default;
  ~RegKey()
  {
    if (h_ != nullptr)
      RegCloseKey(h_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  LONG Open(HKEY root, const std::wstring& path) { return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &h_); }
  HKEY Get() const { return h_; }
  std::wstring String(const wchar_t* name) const
  {
    wchar_t buf[512] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(h_, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      return L"<missing>";
    return buf;
  }
  DWORD Dword(const wchar_t* name) const
  {
    DWORD value = 0xDEADBEEF, size = sizeof(value), type = 0;
    if (RegQueryValueExW(h_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
      return 0xDEADBEEF;
    return value;
  }

 private:
  HKEY h_ = nullptr;
};

// Runs a command line, waits, returns the exit code (or ~0u when it did not start).
inline DWORD Run(const std::wstring& commandLine, const std::wstring& currentDir = std::wstring())
{
  std::wstring line = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDir.empty() ? nullptr : currentDir.c_str(), &si, &pi))
    return ~0u;
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = ~0u;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

}  // namespace pkgtest
