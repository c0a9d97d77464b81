#include "installer/engine/InfFolderList.h"

#include <cwchar>
#include <vector>

#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {

// Terminated wide text in a vector (std::wstring would bring its own copy of
// the string machinery into the static programs).
bool ToWide(const std::string& text, std::vector<wchar_t>& wide) {
  const int needed = Os().MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (needed <= 0) return false;
  wide.assign(static_cast<std::size_t>(needed), L'\0');
  return Os().MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), needed) == needed;
}

bool ToNarrow(const wchar_t* text, std::string& narrow) {
  const int needed = Os().WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  narrow.assign(static_cast<std::size_t>(needed), '\0');
  if (Os().WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], needed, nullptr, nullptr) != needed) return false;
  narrow.resize(static_cast<std::size_t>(needed - 1));
  return true;
}

}  // namespace

// The wide function with an explicit folder: the narrow one reports no size
// on some systems and finds nothing without a folder.
bool ListInfFolder(const std::string& infFolder, std::vector<std::string>& names) {
  names.clear();
  std::vector<wchar_t> folder;
  if (!ToWide(infFolder, folder)) {
    WriteTraceLog("MultiByteToWideChar failed : %s (%d) ", infFolder.c_str(), static_cast<int>(Os().GetLastError()));
    return false;
  }

  DWORD needed = 0;
  if (!Os().SetupGetInfFileListW(folder.data(), INF_STYLE_WIN4, nullptr, 0, &needed) || needed == 0) {
    WriteTraceLog("SetupGetInfFileList failed. %d", static_cast<int>(Os().GetLastError()));
    return false;
  }
  // One more character: the list always ends in an empty name.
  std::vector<wchar_t> list(static_cast<std::size_t>(needed) + 1, L'\0');
  if (!Os().SetupGetInfFileListW(folder.data(), INF_STYLE_WIN4, list.data(), needed, &needed)) {
    WriteTraceLog("SetupGetInfFileList failed. %d", static_cast<int>(Os().GetLastError()));
    return false;
  }

  for (const wchar_t* name = list.data(); *name != L'\0';) {
    const std::size_t length = std::wcslen(name);
    std::string narrow;
    if (ToNarrow(name, narrow)) names.push_back(narrow);
    name += length + 1;
    if (name >= list.data() + list.size()) break;
  }
  return true;
}

}  // namespace vkp
