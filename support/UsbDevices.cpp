#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/BoundedText.h"
#include "support/SystemHelpers.h"
#include "support/pure/TextCompare.h"

namespace vkp {

namespace {
constexpr std::size_t kPrefixSize = 50;
constexpr DWORD kHardwareIdSize = 100;
// "USB\" plus "Vid_xxxx&Pid_xxxx": longer ids (revision, interface) still match.
constexpr std::size_t kMatchLength = 21;
}  // namespace

bool RemoveUsbDevices(const char* hardwareIdPrefix) {
  char prefix[kPrefixSize];
  CopyBounded(prefix, hardwareIdPrefix);

  // All classes, present or not: an unplugged printer's node goes too.
  UniqueDevInfo devices(Os().SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES));
  if (!devices) return false;

  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!Os().SetupDiEnumDeviceInfo(devices.get(), index, &device)) {
      // Any other error would repeat at this index forever.
      if (Os().GetLastError() != ERROR_NO_MORE_ITEMS) return false;
      return Os().SetupDiDestroyDeviceInfoList(devices.release()) != FALSE;
    }

    BYTE ids[kHardwareIdSize] = {};
    // Ids that do not fit are not the printer's: skipped.
    if (!Os().SetupDiGetDeviceRegistryPropertyA(devices.get(), &device, SPDRP_HARDWAREID, nullptr,
                                                ids, kHardwareIdSize, nullptr))
      continue;
    if (!EqualNoCaseN(reinterpret_cast<const char*>(ids), prefix, kMatchLength)) continue;
    if (!Os().SetupDiRemoveDevice(devices.get(), &device)) return false;
  }
}

}  // namespace vkp
