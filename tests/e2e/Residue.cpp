#include "tests/e2e/Residue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

namespace vkp::e2e {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// HKLM as the server writes it (both views live in system.reg), keys and
// values without Wine's time stamps.
void AddRegistry(const std::string& file, Snapshot& snapshot) {
  std::ifstream in(file);
  std::string line, key;
  static const std::regex section(R"(^\[(.*)\] \d+$)");
  std::smatch match;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_match(line, match, section)) {
      key = Lower(std::regex_replace(match[1].str(), std::regex(R"(\\\\)"), "\\"));
      snapshot.entries.insert("REG " + key);
    } else if (!key.empty() && !line.empty() && line[0] != '#' && line[0] != '@' && line.find('=') != std::string::npos) {
      snapshot.entries.insert("REG " + key + "|" + line);
    }
  }
}

void AddFiles(const fs::path& windows, Snapshot& snapshot) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(windows, error); it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (error) break;
    std::string path = Lower(fs::relative(it->path(), windows).string());
    for (char& c : path)
      if (c == '/') c = '\\';
    snapshot.entries.insert("FILE " + path);
  }
}

}  // namespace

Snapshot TakeSnapshot(InstallerSession& s) {
  EXPECT_TRUE(s.Prefix().FlushRegistry());
  Snapshot snapshot;
  AddRegistry(s.Prefix().Root() + "/system.reg", snapshot);
  AddFiles(s.Prefix().Path("C:\\windows"), snapshot);
  return snapshot;
}

namespace {

struct Allowance {
  const char* pattern;  // regular expression over the entry
  const char* reason;
};

// Differences that are the platform's, not the programs'.
const Allowance kAllowed[] = {
    {R"(^FILE temp\\printui-standin(-trace)?\.log$)", "the printui stand-in's own records (test only)"},
    {R"(^FILE system32\\spool\\drivers\\(w32x86|x64)\\3\\(unidrv\.dll|unidrvui\.dll|unidrv\.hlp|unires\.dll|stdnames\.gpd|vkui200\.ini)$)",
     "dependent files that Windows' spooler deletes as unused (DeletePrinterDriverEx with DPD_DELETE_UNUSED_FILES); "
     "Wine refuses that flag, so the driver is deleted without its files"},
    {R"(^REG system\\currentcontrolset\\control\\print\\environments\\windows (nt x86|x64)\\drivers\\version-3$)",
     "the Version-3 parent key, which the spooler creates with the first driver and keeps"},
    {R"(^FILE (system32|syswow64)\\(printui|vktcpmon)\.dll$)", "test stand-ins, installed before the first snapshot"},
    {R"(^REG .*\\control\\print\\monitors\\standard tcp/ip port\\ports(\\ip_192\.168\.0\.20(\|.*)?)?$)",
     "the Standard TCP/IP port the installation created stays, as on Windows (the removal does not delete ports)"},
    {R"(^REG .*\\control\\session manager\|"pendingfilerenameoperations"=.*$)",
     "the running uninstaller and its folder, scheduled for deletion at the next restart"},
    {R"(^FILE vkp-m200(\\vkpm200_uninstaller\.exe)?$)",
     "the running uninstaller cannot delete itself; it goes at the next restart"},
    {R"(^REG system\\currentcontrolset\\control\\print\\printers\|.*$)",
     "values Wine's spooler keeps about its printer list (default printer, change counts)"},
    {R"(^REG software\\(wow6432node\\)?microsoft\\windows nt\\currentversion\\(devices|printerports)(\|.*)?$)",
     "Wine records printers under Devices/PrinterPorts and keeps the keys once created"},
    {R"(^REG software\\(wow6432node\\)?microsoft\\windows\\currentversion\\uninstall$)",
     "the Uninstall parent key; empty, created on first use"},
    {R"(^REG system\\currentcontrolset\\services\\.*$)", "Wine's service control state (net start/stop spooler)"},
    {R"(^REG system\\currentcontrolset\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000\|"driverdate(data)?"=.*$)",
     "the display adapter's driver date (text and binary), which Wine rewrites at every start: it changes at midnight"},
    {R"(^FILE inf\\.*\.pnf$)", "precompiled INF caches Wine writes when it opens any INF of the store"},
    {R"(^REG .*\\enum\\root\\.*$)", "device records Wine's setup API keeps"},
    {R"(^(FILE installer|REG software\\classes\\installer\\(features|products|upgradecodes)|REG software\\microsoft\\windows\\currentversion\\installer\\(upgradecodes|userdata\\s-1-5-18\\(components|products)))$)",
     "Windows Installer's folder and the roots of its registration, which Windows has from the start and a fresh "
     "prefix makes at the first package; empty"},
};

}  // namespace

std::vector<std::string> Unexplained(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> unexplained;
  auto judge = [&](const std::string& change, const std::string& entry) {
    for (const Allowance& allowed : kAllowed) {
      if (std::regex_match(entry, std::regex(allowed.pattern, std::regex::icase))) {
        std::printf("allowed %s %s\n    because %s\n", change.c_str(), entry.c_str(), allowed.reason);
        return;
      }
    }
    unexplained.push_back(change + " " + entry);
  };
  for (const auto& entry : after.entries)
    if (before.entries.count(entry) == 0) judge("left  ", entry);
  for (const auto& entry : before.entries)
    if (after.entries.count(entry) == 0) judge("gone  ", entry);
  return unexplained;
}

}  // namespace vkp::e2e
