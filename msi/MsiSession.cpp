#include "msi/MsiSession.h"

#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

std::string MsiSession::Property(const char* name) const {
  DWORD size = 0;
  char probe[1] = "";
  // A first call with no room tells the length (ERROR_MORE_DATA).
  if (Os().MsiGetPropertyA(session_, name, probe, &size) != ERROR_MORE_DATA) return {};
  std::string value(size + 1, '\0');
  size = static_cast<DWORD>(value.size());
  if (Os().MsiGetPropertyA(session_, name, value.data(), &size) != ERROR_SUCCESS) return {};
  value.resize(size);
  return value;
}

bool MsiSession::SetProperty(const char* name, const std::string& value) const {
  return Os().MsiSetPropertyA(session_, name, value.c_str()) == ERROR_SUCCESS;
}

void MsiSession::Message(INSTALLMESSAGE kind, const std::string& text) const {
  UniqueMsiHandle record(Os().MsiCreateRecord(0));
  if (!record) return;
  const std::string line = "VKPM200: " + text;
  if (Os().MsiRecordSetStringA(record.get(), 0, line.c_str()) != ERROR_SUCCESS) return;
  Os().MsiProcessMessage(session_, kind, record.get());
}

void MsiSession::Log(const std::string& text) const { Message(INSTALLMESSAGE_INFO, text); }

void MsiSession::LogError(const std::string& text) const {
  Message(static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
}

void MsiSession::RequestRestartAtEnd() const {
  const UINT result = Os().MsiSetMode(session_, MSIRUNMODE_REBOOTATEND, TRUE);
  if (result != ERROR_SUCCESS) Log("the restart at the end could not be requested (" + std::to_string(result) + ")");
}

}  // namespace vkp
