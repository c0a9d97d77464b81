#include "ui/ErrorBox.h"

#include <string>

#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp::ui {

void ShowErrorBox(const char* prefixFormat, DWORD errorCode, UINT flags) {
  // The prefixes are fixed texts with one "%d"; filled in without printf.
  std::string text = prefixFormat;
  const auto conversion = text.find("%d");
  if (conversion != std::string::npos) text.replace(conversion, 2, std::to_string(static_cast<int>(errorCode)));
  text += SystemErrorText(errorCode);
  ShowMessageBox(text.c_str(), flags);
}

}  // namespace vkp::ui
