#include "ui/SystemText.h"

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "ui/App.h"

namespace vkp::ui {

std::string LoadResourceString(UINT id) {
  char text[1024] = "";
  App* app = App::Current();
  HINSTANCE instance = app != nullptr ? app->Instance() : GetModuleHandleA(nullptr);
  const int length = LoadStringA(instance, id, text, static_cast<int>(sizeof text));
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string LoadResourceText(UINT id) {
  App* app = App::Current();
  HMODULE module = app != nullptr ? app->Instance() : GetModuleHandleA(nullptr);
  HRSRC found = Os().FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (found == nullptr) return std::string();
  const DWORD size = Os().SizeofResource(module, found);
  HGLOBAL loaded = size != 0 ? Os().LoadResource(module, found) : nullptr;  // freed with the module
  const void* data = loaded != nullptr ? Os().LockResource(loaded) : nullptr;
  return data != nullptr ? std::string(static_cast<const char*>(data), size) : std::string();
}

std::string SystemErrorText(DWORD code) {
  char* buffer = nullptr;
  const DWORD length = Os().FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&buffer),
      0, nullptr);
  UniqueLocal owned(buffer);
  return length > 0 && buffer != nullptr ? std::string(buffer, length) : std::string();
}

}  // namespace vkp::ui
