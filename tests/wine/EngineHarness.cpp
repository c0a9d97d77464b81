#include "tests/wine/EngineHarness.h"

#include "platform/WinHeaders.h"

namespace vkp::test {

EngineHarness::EngineHarness(int is64Bit, int osVersion) {
  barWindow_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  bar_.Attach(barWindow_);
  // One unit per step, so that the position counts the steps.
  SendMessageA(barWindow_, PBM_SETRANGE32, 0, 100000);
  bar_.SetStep(1);
  message.KeepHistory();
  engine.SetSystemInfo(is64Bit, osVersion);
  engine.SetControlPointers(message, bar_);
}

EngineHarness::~EngineHarness() {
  if (barWindow_ != nullptr) DestroyWindow(barWindow_);
}

int EngineHarness::BarPosition() const { return bar_.GetPos(); }

}  // namespace vkp::test
