// The UI robot (vkp_robot.exe) run inside a test prefix.
#pragma once

#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "tests/e2e/WinePrefix.h"

namespace vkp::e2e {

struct Control {
  unsigned id = 0;
  std::string className;
  bool enabled = false;
  bool visible = false;
  int checked = -1;  // -1: not a check box or radio button
  std::string text;  // \r \n \t \\ escaped as by the robot
};

struct ListRow {
  unsigned row = 0;
  unsigned long data = 0;  // check state of a check list
  bool selected = false;
  std::string text;
};

// One child control of a dialog as the robot's "layout" measures it, in the
// dialog's pixels: its place in the dialog's client area, its own client
// size, the size of its text in its font (wrapped at the client width for a
// multi-line static), the font's line height and a list box's row height.
struct LaidOutControl {
  unsigned id = 0;
  std::string className;
  unsigned long style = 0;
  bool visible = false;
  int left = 0, top = 0, right = 0, bottom = 0;
  int clientWidth = 0, clientHeight = 0;
  int textWidth = 0, textHeight = 0;
  int lineHeight = 0;
  int rowHeight = -1;  // list boxes only
  std::string text;
};

struct DialogLayout {
  unsigned dpi = 0;
  int clientWidth = 0, clientHeight = 0;
  std::vector<LaidOutControl> controls;
};

// Everything wrong with a layout, one sentence each: a visible control
// outside the client area, two visible controls overlapping (unless a group
// box holds the other), a text cut by its control, a list row lower than its
// font's line.
std::vector<std::string> LayoutFaults(const DialogLayout& layout);

// The pieces of text between separators, the last one too (even when empty).
std::vector<std::string> Split(const std::string& text, const std::string& separator);

class Robot {
 public:
  // Copies the robot and its hook DLL into C:\vkp-robot\ of the prefix. With
  // the prefix's 64-bit tools it is the 64-bit robot, without the hook (it
  // cannot hook 32-bit programs): no sysmenu-has-close then.
  explicit Robot(WinePrefix& prefix);
  bool Ok() const { return ok_; }

  // One robot command; output and exit code as the robot gave them.
  RunResult Do(const std::vector<std::string>& args, int timeoutMs = 20000) const;

  bool WaitWindow(const std::string& title, int timeoutMs, bool visible = false) const;
  std::vector<Control> Controls(const std::string& title) const;
  std::optional<Control> FindControl(const std::string& title, unsigned id) const;
  // Polls until control id of title has the text; returns the last text seen.
  std::string WaitControlText(const std::string& title, unsigned id, const std::string& expected,
                              int timeoutMs) const;
  std::vector<ListRow> List(const std::string& title, unsigned id) const;
  bool Click(const std::string& title, unsigned id) const;
  std::optional<std::string> Answer(const std::string& title, unsigned button, int timeoutMs) const;
  std::optional<std::string> Foreground() const;
  std::optional<bool> SysmenuHasClose(const std::string& title) const;
  // The layout of the dialog titled `title`; face and points: its template's
  // font. Nothing when the robot failed.
  std::optional<DialogLayout> Layout(const std::string& title, const std::string& face = "Verdana",
                                     int points = 9) const;

  static constexpr const char* kExe = "C:\\vkp-robot\\vkp_robot.exe";

 private:
  WinePrefix& prefix_;
  bool ok_ = false;
};

// One start of a program inside the prefix, through the robot's "launch", so
// that the full 32-bit exit code arrives in C:\vkp-e2e\exit-TAG.txt.
class ProgramRun {
 public:
  ProgramRun(WinePrefix& prefix, std::string programWin, std::string workDirWin, std::string tag,
             std::vector<std::string> args = {});
  bool Start();
  long long StartedAtMs() const { return startedAt_; }
  // Exit code once the exit file is there.
  std::optional<unsigned long> ExitCode() const;
  std::optional<unsigned long> WaitExit(int timeoutMs) const;
  // Waits for the Linux process that runs the launcher; true once it ended
  // (with or without an exit file: a restart ends every process of the prefix).
  bool WaitLauncherEnd(int timeoutMs);

 private:
  WinePrefix& prefix_;
  std::string program_, workDir_, tag_;
  std::vector<std::string> args_;
  long long startedAt_ = 0;
  pid_t launcher_ = -1;
};

// Copies the installer into C:\VKPM200\ of the prefix.
bool StageInstaller(WinePrefix& prefix);
// Copies the whole installer's folder as scripts/build-package makes it
// (the shipped programs, INF, driver files) there.
bool StageInstallerFolder(WinePrefix& prefix);
constexpr const char* kInstallerWin = "C:\\VKPM200\\VKPM200_Installer.exe";
constexpr const char* kInstallerDirWin = "C:\\VKPM200";

// A start of the staged installer from its own folder.
class InstallerRun : public ProgramRun {
 public:
  InstallerRun(WinePrefix& prefix, std::string tag, std::string workDirWin = kInstallerDirWin,
               std::vector<std::string> args = {})
      : ProgramRun(prefix, kInstallerWin, std::move(workDirWin), std::move(tag), std::move(args)) {}
};

}  // namespace vkp::e2e
