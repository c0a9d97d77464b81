#include "tests/seam/HandleBalance.h"

namespace vkp::test {

namespace {
bool ReturnedTrue(const std::string& result) { return result != "0"; }
bool ReturnedSuccessCode(const std::string& result) { return result == "0"; }
// INVALID_HANDLE_VALUE as a 32-bit or a 64-bit build prints it.
bool ReturnedHandle(const std::string& result) {
  return result != "0x0" && result != "0xffffffff" && result != "0xffffffffffffffff" && !result.empty();
}
}  // namespace

const std::vector<HandleKind>& HandleKinds() {
  static const std::vector<HandleKind> kinds = {
      {{"RegOpenKeyExA", "RegCreateKeyExA", "RegConnectRegistryA"}, "RegCloseKey", &ReturnedSuccessCode},
      {{"OpenPrinterA"}, "ClosePrinter", &ReturnedTrue},
      {{"AddPrinterA"}, "ClosePrinter", &ReturnedHandle},
      {{"FindFirstFileA", "FindFirstFileW"}, "FindClose", &ReturnedHandle},
      {{"SetupOpenInfFileA"}, "SetupCloseInfFile", &ReturnedHandle},
      {{"SetupDiGetClassDevsA"}, "SetupDiDestroyDeviceInfoList", &ReturnedHandle},
  };
  return kinds;
}

std::string UnreleasedHandles(const FakeOs& os) {
  const std::vector<RecordedCall> calls = os.Calls();
  std::string report;
  for (const HandleKind& kind : HandleKinds()) {
    int given = 0, back = 0;
    for (const RecordedCall& call : calls) {
      if (call.name == kind.closer) ++back;
      for (const std::string& opener : kind.openers)
        if (call.name == opener && kind.succeeded(call.result)) ++given;
    }
    // Root keys may be closed too (closing a predefined key is harmless):
    // only fewer closes than handles is a leak.
    if (back < given) {
      report += kind.closer + ": " + std::to_string(given) + " given out, " + std::to_string(back) + " given back; ";
    }
  }
  return report;
}

}  // namespace vkp::test
