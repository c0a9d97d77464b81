#include "support/SameFileContents.h"

#include <cstring>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

namespace {

UniqueFile OpenForReading(const char* path) {
  return UniqueFile(Os().CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

bool SameFileContents(const char* first, const char* second) {
  UniqueFile a = OpenForReading(first);
  UniqueFile b = OpenForReading(second);
  if (!a || !b) return false;
  const DWORD size = Os().GetFileSize(a.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size != Os().GetFileSize(b.get(), nullptr)) return false;
  char bufferA[4096];
  char bufferB[sizeof bufferA];
  for (DWORD left = size; left > 0;) {
    const DWORD chunk = left < sizeof bufferA ? left : static_cast<DWORD>(sizeof bufferA);
    DWORD readA = 0;
    DWORD readB = 0;
    if (!Os().ReadFile(a.get(), bufferA, chunk, &readA, nullptr) ||
        !Os().ReadFile(b.get(), bufferB, chunk, &readB, nullptr) || readA != chunk || readB != chunk ||
        std::memcmp(bufferA, bufferB, chunk) != 0)
      return false;
    left -= chunk;
  }
  return true;
}

}  // namespace vkp
