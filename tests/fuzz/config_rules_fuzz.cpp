// Fuzz target: the configuration value rules and the command-line parser
// must accept any bytes without reading past the value or overflowing, and
// keep their documented ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "installer/pure/ConfigRules.h"
#include "support/pure/CommandLine.h"

namespace {

// A command line either yields options within their ranges or is refused
// with a one-line message and default options.
void CheckCommandLine(const char* line, vkp::ProgramKind kind) {
  vkp::CommandLineOptions options;
  std::string error;
  if (!vkp::ParseCommandLine(line, kind, options, error)) {
    if (error.empty() || error.find('\n') != std::string::npos) std::abort();
    if (options.Unattended() || options.portType != -1 || !options.logPath.empty()) std::abort();
    return;
  }
  if (!error.empty() || (options.quiet && options.passive)) std::abort();
  if (options.noRestart && options.forceRestart) std::abort();
  if (options.logPath.size() > vkp::kMaxLogPathLength) std::abort();
  if (options.portType < -1 || options.portType >= vkp::kPortTypeCount) std::abort();
  if (kind == vkp::ProgramKind::Uninstaller && options.portType != -1) std::abort();
  for (int octet : options.octets) {
    if (octet < 0 || octet > 255) std::abort();
  }
  const bool wirelessLan = options.portType == vkp::kPortTypeWirelessLan;
  if (wirelessLan ? (options.tcpPort < 1 || options.tcpPort > vkp::kMaxTcpPort)
                  : options.tcpPort != 0) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string value(reinterpret_cast<const char*>(data), size);  // stops at the first NUL, as the file does
  const char* text = value.c_str();

  (void)vkp::LenientDecimal(text);
  (void)vkp::PortDialogRequested(text);
  const int portType = vkp::PortTypeFromValue(text);
  if (portType < 0 || portType >= vkp::kPortTypeCount) std::abort();
  const int octet = vkp::OctetFromValue(text);
  if (octet < 0 || octet > 255) std::abort();
  if (vkp::TcpPortFromValue(text) == 0) std::abort();

  char address[16];
  vkp::FormatIpAddress(address, sizeof address, octet, octet, octet, octet);
  if (address[sizeof address - 1] != '\0' && std::string(address).size() >= sizeof address) std::abort();

  // An exact-size copy, so that a read past the terminator is caught.
  const std::size_t length = std::strlen(text);
  const std::unique_ptr<char[]> line(new char[length + 1]);
  std::memcpy(line.get(), text, length + 1);
  CheckCommandLine(line.get(), vkp::ProgramKind::Installer);
  CheckCommandLine(line.get(), vkp::ProgramKind::Uninstaller);
  return 0;
}
