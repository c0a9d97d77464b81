// Spooler objects that in-process tests register directly with Wine's
// spooler (it accepts a driver whose files are missing and a printer whose
// port does not exist), removed again when the object goes; and the files
// that tell a driver's version: its core, its data file and the model's
// plug-in. Direct calls, past the platform seam.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/WinHeaders.h"
#include "tests/wine/TestFiles.h"

namespace vkp::test {

// A driver's files that the version check reads, by their full paths.
struct DriverFiles {
  std::string core, dataFile, plugIn;

  // The same names in a package folder (with its trailing backslash).
  static DriverFiles InFolder(const std::string& folder) {
    return {folder + "UNIDRV.DLL", folder + "VKP200.GPD", folder + "VKP200.dll"};
  }
  void Write(const std::string& coreBytes, const std::string& dataBytes, const std::string& plugInBytes) const {
    WriteFileText(core, coreBytes);
    WriteFileText(dataFile, dataBytes);
    WriteFileText(plugIn, plugInBytes);
  }
};

class SpoolerObjects {
 public:
  SpoolerObjects() = default;
  SpoolerObjects(const SpoolerObjects&) = delete;
  SpoolerObjects& operator=(const SpoolerObjects&) = delete;
  ~SpoolerObjects() {
    for (const auto& name : printers_) {
      HANDLE printer = nullptr;
      PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
      if (::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &defaults)) {
        ::DeletePrinter(printer);
        ::ClosePrinter(printer);
      }
    }
    for (const auto& name : drivers_) ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(name.c_str()));
  }

  // A driver of this program's environment, registered as the installation
  // registers the model's: the universal driver's core and the model's data
  // file, with the model's plug-in among the dependent files (unless
  // withPlugIn is false).
  void RegisterDriver(const std::string& name, bool withPlugIn = true) {
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>(name.c_str());
    info.pEnvironment = const_cast<char*>("Windows NT x86");
    info.pDriverPath = const_cast<char*>("UNIDRV.DLL");
    info.pDataFile = const_cast<char*>("VKP200.GPD");
    info.pConfigFile = const_cast<char*>("UNIDRVUI.DLL");
    info.pDependentFiles = const_cast<char*>(withPlugIn ? "UNIRES.DLL\0VKP200.DLL\0VKUI200.DLL\0" : "UNIRES.DLL\0");
    ASSERT_TRUE(::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info))) << ::GetLastError();
    drivers_.push_back(name);
  }

  // A printer of `driver`, carrying the given version values (-1: value absent).
  void RegisterPrinter(const std::string& name, const std::string& driver, std::vector<long long> version) {
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>(name.c_str());
    info.pPortName = const_cast<char*>("FILE:");
    info.pDriverName = const_cast<char*>(driver.c_str());
    info.pPrintProcessor = const_cast<char*>("winprint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(printer, nullptr) << ::GetLastError();
    printers_.push_back(name);
    static const char* const kNames[4] = {"MajorVersion", "MinorVersion", "BuildVersion", "ExtraVersion"};
    for (int i = 0; i < 4; ++i) {
      if (version.at(static_cast<std::size_t>(i)) < 0) continue;
      DWORD value = static_cast<DWORD>(version[static_cast<std::size_t>(i)]);
      ASSERT_EQ(::SetPrinterDataA(printer, const_cast<char*>(kNames[i]), REG_DWORD, reinterpret_cast<BYTE*>(&value),
                                  sizeof value),
                static_cast<DWORD>(ERROR_SUCCESS));
    }
    ::ClosePrinter(printer);
  }

  // Where the spooler keeps the installed files of driver `name` (all empty
  // when it is not listed; no plug-in when none is among its dependent files).
  static DriverFiles FilesOf(const std::string& name) {
    DWORD needed = 0, count = 0;
    ::EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::EnumPrinterDriversA(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) return {};
    for (DWORD i = 0; i < count; ++i) {
      const auto& driver = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data())[i];
      if (driver.pName == nullptr || name != driver.pName) continue;
      DriverFiles files{driver.pDriverPath, driver.pDataFile, ""};
      for (const char* file = driver.pDependentFiles; file != nullptr && *file != '\0'; file += std::strlen(file) + 1) {
        const char* base = std::strrchr(file, '\\');
        if (_stricmp(base != nullptr ? base + 1 : file, "VKP200.DLL") == 0) files.plugIn = file;
      }
      return files;
    }
    return {};
  }

 private:
  std::vector<std::string> printers_, drivers_;
};

}  // namespace vkp::test
