#include "support/pure/CommandLine.h"

#include "installer/pure/ConfigRules.h"
#include "support/pure/TextCompare.h"

namespace vkp {

namespace {

enum SwitchId {
  kQuiet,
  kPassive,
  kNoRestart,
  kForceRestart,
  kLog,
  kPort,
  kIp,
  kTcpPort,
  kSwitchCount
};

struct SwitchInfo {
  const char* name;    // as written in messages and the usage text
  const char* value;   // placeholder of the value; nullptr: takes none
  const char* usage;   // description for the usage text
  bool installerOnly;  // the uninstaller has no port to set up
};

// Indexed by SwitchId.
constexpr SwitchInfo kSwitches[kSwitchCount] = {
    {"/quiet", nullptr, "no window, no message box", false},
    {"/passive", nullptr, "progress window only, no message box", false},
    {"/norestart", nullptr, "never restart Windows", false},
    {"/forcerestart", nullptr, "restart Windows at the end when needed", false},
    {"/log", "PATH", "also write the trace to PATH", false},
    {"/port", "COM1|COM2|COM3|COM4|USB|WLAN", "the printer's port", true},
    {"/ip", "A.B.C.D", "the wireless-LAN printer's address (needs /port=WLAN)", true},
    {"/tcpport", "N", "its TCP port", true},
};

// Same order as the port type numbers of ConfigRules.h.
constexpr const char* kPortNames[] = {"COM1", "COM2", "COM3", "COM4", "USB", "WLAN"};
static_assert(sizeof kPortNames / sizeof kPortNames[0] == kPortTypeCount, "one name per port type");

// Echoed user text is cut, so that a message stays one short line.
constexpr std::size_t kMaxShownLength = 60;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// User text in quotes for a message: cut, and with control characters
// replaced, so that it cannot break the line.
std::string Shown(const std::string& text) {
  std::string shown = "'";
  for (std::size_t i = 0; i < text.size() && i < kMaxShownLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    shown += (c < 0x20 || c == 0x7F) ? '?' : text[i];
  }
  if (text.size() > kMaxShownLength) shown += "...";
  return shown + "'";
}

// The next token of the line at `p` (blanks skipped first), its quotes
// dropped; `raw` keeps them for messages. False at the end of the line.
bool NextToken(const char*& p, std::string& token, std::string& raw, bool& unterminated) {
  while (IsBlank(*p)) ++p;
  if (*p == '\0') return false;
  const char* start = p;
  bool quoted = false;
  token.clear();
  for (; *p != '\0' && (quoted || !IsBlank(*p)); ++p) {
    if (*p == '"') {
      quoted = !quoted;
    } else {
      token += *p;
    }
  }
  raw.assign(start, static_cast<std::size_t>(p - start));
  unterminated = quoted;
  return true;
}

int FindSwitch(const std::string& name) {
  for (int id = 0; id < kSwitchCount; ++id) {
    if (EqualNoCase(name.c_str(), kSwitches[id].name + 1)) return id;  // without the '/'
  }
  return -1;
}

int FindPortType(const std::string& value) {
  for (int type = 0; type < kPortTypeCount; ++type) {
    if (EqualNoCase(value.c_str(), kPortNames[type])) return type;
  }
  return -1;
}

// Digits only, at most maxDigits of them, value no greater than maxValue.
bool ParseBoundedDecimal(const char*& p, std::size_t maxDigits, int maxValue, int& value) {
  value = 0;
  std::size_t digits = 0;
  for (; IsDigit(*p); ++p) {
    if (++digits > maxDigits) return false;
    value = value * 10 + (*p - '0');
    if (value > maxValue) return false;
  }
  return digits > 0;
}

// Exactly four dot-separated decimal octets of 1 to 3 digits.
bool ParseAddress(const std::string& text, int (&octets)[4]) {
  const char* p = text.c_str();
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *p++ != '.') return false;
    if (!ParseBoundedDecimal(p, 3, 255, octets[i])) return false;
  }
  return *p == '\0';
}

bool ParseTcpPort(const std::string& text, int& port) {
  const char* p = text.c_str();
  // Leading zeros do not count against the digit limit.
  while (p[0] == '0' && IsDigit(p[1])) ++p;
  return ParseBoundedDecimal(p, 5, kMaxTcpPort, port) && *p == '\0' && port >= 1;
}

bool IsAllBlank(const std::string& text) {
  for (char c : text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

bool Fail(std::string& error, const std::string& message) {
  error = message;
  return false;
}

}  // namespace

bool ParseCommandLine(const char* commandLine, ProgramKind kind, CommandLineOptions& options,
                      std::string& error) {
  options = CommandLineOptions();
  error.clear();

  CommandLineOptions parsed;
  bool seen[kSwitchCount] = {};
  int tcpPort = kDefaultTcpPort;
  const char* p = commandLine != nullptr ? commandLine : "";
  std::string token;
  std::string raw;
  bool unterminated = false;
  while (NextToken(p, token, raw, unterminated)) {
    if (unterminated) return Fail(error, "Unterminated quote in " + Shown(raw) + ".");
    if (token.empty() || (token[0] != '/' && token[0] != '-')) {
      return Fail(error, "Unexpected argument " + Shown(raw) + "; switches start with / or -.");
    }
    const std::size_t equals = token.find('=');
    const bool hasValue = equals != std::string::npos;
    const int id = FindSwitch(token.substr(1, hasValue ? equals - 1 : std::string::npos));
    if (id < 0) return Fail(error, "Unknown switch " + Shown(token.substr(0, equals)) + ".");

    const SwitchInfo& info = kSwitches[id];
    const std::string name = info.name;
    if (info.installerOnly && kind != ProgramKind::Installer) {
      return Fail(error, "The switch " + name + " is accepted by the installer only.");
    }
    if (seen[id]) return Fail(error, "The switch " + name + " is given more than once.");
    seen[id] = true;

    const std::string value = hasValue ? token.substr(equals + 1) : std::string();
    if (info.value == nullptr) {
      if (hasValue) return Fail(error, "The switch " + name + " takes no value.");
    } else if (value.empty()) {
      return Fail(error, "The switch " + name + " needs a value: " + name + "=" + info.value + ".");
    }

    switch (id) {
      case kQuiet: parsed.quiet = true; break;
      case kPassive: parsed.passive = true; break;
      case kNoRestart: parsed.noRestart = true; break;
      case kForceRestart: parsed.forceRestart = true; break;
      case kLog:
        if (IsAllBlank(value)) return Fail(error, "The path of /log is empty.");
        if (value.size() > kMaxLogPathLength) {
          return Fail(error, "The path of /log is longer than " +
                                 std::to_string(kMaxLogPathLength) + " characters.");
        }
        parsed.logPath = value;
        break;
      case kPort:
        parsed.portType = FindPortType(value);
        if (parsed.portType < 0) {
          return Fail(error, "Bad value " + Shown(value) +
                                 " of /port; use COM1, COM2, COM3, COM4, USB or WLAN.");
        }
        break;
      case kIp:
        if (!ParseAddress(value, parsed.octets)) {
          return Fail(error, "Bad value " + Shown(value) +
                                 " of /ip; use four numbers 0 to 255 such as 192.168.0.10.");
        }
        break;
      case kTcpPort:
        if (!ParseTcpPort(value, tcpPort)) {
          return Fail(error, "Bad value " + Shown(value) + " of /tcpport; use a number 1 to " +
                                 std::to_string(kMaxTcpPort) + ".");
        }
        break;
      default: break;
    }
  }

  if (parsed.quiet && parsed.passive) {
    return Fail(error, "The switches /quiet and /passive exclude each other.");
  }
  if (parsed.noRestart && parsed.forceRestart) {
    return Fail(error, "The switches /norestart and /forcerestart exclude each other.");
  }
  const bool wirelessLan = parsed.portType == kPortTypeWirelessLan;
  if (!wirelessLan) {
    if (seen[kIp]) return Fail(error, "The switch /ip needs /port=WLAN.");
    if (seen[kTcpPort]) return Fail(error, "The switch /tcpport needs /port=WLAN.");
  } else {
    if (!seen[kIp]) return Fail(error, "The switch /port=WLAN needs /ip=A.B.C.D.");
    parsed.tcpPort = tcpPort;
  }

  options = parsed;
  return true;
}

std::string CommandLineUsage(ProgramKind kind) {
  // Descriptions start in one column where the switch is short enough.
  constexpr std::size_t kDescriptionColumn = 16;
  std::string usage;
  for (const SwitchInfo& info : kSwitches) {
    if (info.installerOnly && kind != ProgramKind::Installer) continue;
    std::string line = info.name;
    if (info.value != nullptr) line = line + "=" + info.value;
    line += "  ";
    if (line.size() < kDescriptionColumn) line.resize(kDescriptionColumn, ' ');
    line += info.usage;
    if (&info == &kSwitches[kTcpPort]) {
      line += ", 1 to " + std::to_string(kMaxTcpPort) + " (default " +
              std::to_string(kDefaultTcpPort) + ")";
    }
    usage += line + "\n";
  }
  return usage;
}

}  // namespace vkp
