// The systems and ports the installation suites combine. The test of system
// S over port P is named SP ("Win10x64Usb"), the name its ctest entry
// carries (tests/e2e/CMakeLists.txt).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/ProgramIds.h"

namespace vkp::e2e {

struct TestSystem {
  const char* name;
  const char* arch;
  const char* winver;  // Wine's name for it
};
inline constexpr TestSystem kWin10x64{"Win10x64", "win64", "win10"};
// Wine 8 swaps the names: "win2008r2" reports Windows 7 (workstation).
inline constexpr TestSystem kWin7x64{"Win7x64", "win64", "win2008r2"};
inline constexpr TestSystem kVista32{"Vista32", "win32", "vista"};
inline constexpr TestSystem kXp32{"Xp32", "win32", "winxp"};
inline constexpr TestSystem kWin2000{"Win2000", "win32", "win2k"};
inline constexpr TestSystem kServer2003x64{"Server2003x64", "win64", "win2003"};

struct TestPort {
  const char* name;
  unsigned radio;           // its button in the port dialog
  const char* ip;           // wireless LAN's address; nullptr for the others
  const char* printerPort;  // the printer object's port; nullptr: no printer object (USB)
};
inline constexpr TestPort kUsb{"Usb", kRadioUsb, nullptr, nullptr};
inline constexpr TestPort kCom1{"Com1", kRadioCom1, nullptr, "COM1:"};
inline constexpr TestPort kCom2{"Com2", kRadioCom2, nullptr, "COM2:"};
inline constexpr TestPort kCom3{"Com3", kRadioCom3, nullptr, "COM3:"};
inline constexpr TestPort kLan{"Lan", kRadioWlan, "192.168.0.20", "IP_192.168.0.20"};

struct SystemPorts {
  TestSystem os;
  std::vector<TestPort> ports;
};

// Registers SUITE.<system><port> for each port of each row, each running
// `body`. Called from a namespace-scope initializer, as TEST registers. All
// tests of one suite must come from here: gtest refuses a suite whose tests
// have different fixture classes.
inline bool RegisterEach(const char* suite, const std::vector<SystemPorts>& rows,
                         const std::function<void(const TestSystem&, const TestPort&)>& body, const char* file,
                         int line) {
  class Case : public ::testing::Test {
   public:
    explicit Case(std::function<void()> run) : run_(std::move(run)) {}
    void TestBody() override { run_(); }

   private:
    std::function<void()> run_;
  };
  for (const SystemPorts& row : rows)
    for (const TestPort& port : row.ports)
      ::testing::RegisterTest(suite, (std::string(row.os.name) + port.name).c_str(), nullptr, nullptr, file, line,
                              [=, os = row.os] { return new Case([=] { body(os, port); }); });
  return true;
}

}  // namespace vkp::e2e
