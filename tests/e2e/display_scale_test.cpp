// Both programs at 100 %, 150 % and 200 % display scale: each dialog drawn at
// the display's DPI, every control inside its dialog, none on another (but
// in its group box), no text cut, list rows as high as their text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace {
using namespace vkp::e2e;

constexpr unsigned kCancelId = 2;

std::string Lines(const std::vector<std::string>& faults) {
  std::string out;
  for (const std::string& fault : faults) out += "  " + fault + "\n";
  return out;
}

void ExpectLaidOut(const Robot& ui, const std::string& title, unsigned dpi) {
  const std::optional<DialogLayout> layout = ui.Layout(title);
  ASSERT_TRUE(layout.has_value()) << title;
  EXPECT_EQ(layout->dpi, dpi) << title << " is not drawn at the display's scale";
  EXPECT_GE(layout->controls.size(), 6u) << title;
  const std::vector<std::string> faults = LayoutFaults(*layout);
  EXPECT_TRUE(faults.empty()) << title << ":\n" << Lines(faults);
}

// The port dialog, the installation's progress, then the uninstaller's list
// with the new printer in it.
void DialogsFitAt(unsigned dpi) {
  InstallerSession s("win64", "win10", {}, dpi);
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.Ui().WaitWindow(kPortTitle, 60000, true));
  ASSERT_TRUE(s.Ui().Do({"radio", kPortTitle, std::to_string(kRadioWlan)}).ok());  // every field in use
  ExpectLaidOut(s.Ui(), kPortTitle, dpi);
  ASSERT_TRUE(s.ChoosePort(kRadioCom1));
  ASSERT_TRUE(s.Ui().WaitWindow(kProgressTitle, 60000, true));
  ExpectLaidOut(s.Ui(), kProgressTitle, dpi);
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  ASSERT_EQ(s.ExitCode(), std::optional<unsigned long>(3010)) << Lines(boxes) << s.Trace();

  ProgramRun& run = s.StartUninstaller();
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 30000, true));
  ASSERT_EQ(s.UninstallerRows(1).size(), 1u);
  ExpectLaidOut(s.Ui(), kUninstallerTitle, dpi);
  ASSERT_TRUE(s.Ui().Click(kUninstallerTitle, kCancelId));
  EXPECT_EQ(run.WaitExit(20000), std::optional<unsigned long>(1602));
}

TEST(DisplayScale, At96Dpi) { DialogsFitAt(96); }
TEST(DisplayScale, At144Dpi) { DialogsFitAt(144); }
TEST(DisplayScale, At192Dpi) { DialogsFitAt(192); }

}  // namespace
