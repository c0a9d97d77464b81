#include "installer/engine/ErrorBox.h"

#include <string>

#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {

void ShowErrorBox(const char* prefixFormat, DWORD errorCode) {
  // The prefixes are fixed texts with one "%d"; filled in without printf.
  std::string text = prefixFormat;
  const auto conversion = text.find("%d");
  if (conversion != std::string::npos) text.replace(conversion, 2, std::to_string(static_cast<int>(errorCode)));
  text += ui::SystemErrorText(errorCode);
  ui::ShowMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace vkp
