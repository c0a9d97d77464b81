// The Windows Installer session a custom action runs in: its properties,
// its log and its restart request, all through the platform seam.
#pragma once

#include <string>

#include "platform/WinHeaders.h"

namespace vkp {

class MsiSession {
 public:
  explicit MsiSession(MSIHANDLE session) : session_(session) {}

  // The property's value; empty when it is not set or cannot be read.
  std::string Property(const char* name) const;
  bool SetProperty(const char* name, const std::string& value) const;

  // A line in msiexec's log ("VKPM200: ..."); as an error, also the message
  // a user sees when the package runs with its user interface.
  void Log(const std::string& text) const;
  void LogError(const std::string& text) const;

  // Windows Installer ends with 3010, or asks for the restart itself unless
  // told not to (/norestart, REBOOT=ReallySuppress).
  void RequestRestartAtEnd() const;

 private:
  void Message(INSTALLMESSAGE kind, const std::string& text) const;

  MSIHANDLE session_;
};

}  // namespace vkp
