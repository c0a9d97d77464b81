// An installation engine wired as the progress dialog wires it, for
// in-process tests: message texts are kept in order, and the progress bar is
// a real (hidden) control whose range counts single steps.
#pragma once

#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp::test {

class EngineHarness {
 public:
  // is64Bit and osVersion as SetSystemInfo takes them.
  EngineHarness(int is64Bit, int osVersion);
  ~EngineHarness();
  EngineHarness(const EngineHarness&) = delete;
  EngineHarness& operator=(const EngineHarness&) = delete;

  InstallEngine engine;
  ui::SharedText message;

  std::vector<std::string> Texts() const { return message.History(); }
  // Bar steps taken so far (PBM_SETPOS 100 shows as 100).
  int BarPosition() const;

 private:
  HWND barWindow_ = nullptr;
  ui::ProgressBar bar_;
};

}  // namespace vkp::test
