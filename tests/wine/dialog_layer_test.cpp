#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestDialogs.h"
#include "tests/seam/FakeOs.h"
#include "support/ExitCodes.h"
#include "support/TraceLog.h"
#include "tests/wine/TestProgram.h"
#include "ui/CheckListBox.h"
#include "ui/Deployment.h"
#include "ui/Dialog.h"
#include "ui/Dpi.h"
#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {
namespace {

using test::FakeOs;

constexpr UINT kRunScript = WM_APP + 1;

// A dialog whose behaviour the test scripts: the script runs inside the modal
// loop (posted after initialisation), so that queued input is processed first.
class ScriptedDialog : public ui::Dialog {
 public:
  ScriptedDialog() : ui::Dialog(IDD_TEST_EXCHANGE) { RegisterOwnerDrawn(IDC_TEST_CHECKLIST, &checks); }

  int number = 0;
  int radio = 0;
  std::string text;
  bool validateRange = false;
  bool swallowEscape = false;
  std::vector<std::function<void(ScriptedDialog&)>> steps;
  std::vector<std::pair<WORD, WORD>> commands;
  ui::CheckListBox checks;

  void RunNextStep() { PostMessageA(Hwnd(), kRunScript, 0, 0); }

 protected:
  BOOL OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    checks.SubclassWindow(Item(IDC_TEST_CHECKLIST));
    RunNextStep();
    return TRUE;
  }
  void DoDataExchange(ui::DataExchange& dx) override {
    dx.Int(IDC_TEST_EDIT, number);
    if (validateRange) dx.MinMaxInt(IDC_TEST_EDIT, number, 1, 10000);
    dx.Radio(IDC_TEST_RADIO_A, radio);
    dx.Text(IDC_TEST_TEXT, text);
  }
  bool PreTranslateMessage(MSG& msg) override {
    return swallowEscape && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
  }
  bool OnCommand(WORD id, WORD code, HWND) override {
    commands.emplace_back(id, code);
    return false;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message != kRunScript) return false;
    if (!steps.empty()) {
      auto step = steps.front();
      steps.erase(steps.begin());
      step(*this);
    }
    result = 0;
    return true;
  }
};

std::string ItemText(HWND dialog, int id) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

class DialogLayerTest : public ::testing::Test {
 protected:
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(DialogLayerTest, ExchangeWritesMembersToControlsAndReadsThemBack) {
  ScriptedDialog dialog;
  dialog.number = 9100;
  dialog.radio = 2;
  dialog.text = "hello";
  std::string shownNumber, shownText;
  int checkedC = 0;
  dialog.steps.push_back([&](ScriptedDialog& d) {
    shownNumber = ItemText(d.Hwnd(), IDC_TEST_EDIT);
    shownText = ItemText(d.Hwnd(), IDC_TEST_TEXT);
    checkedC = static_cast<int>(IsDlgButtonChecked(d.Hwnd(), IDC_TEST_RADIO_C));
    SetDlgItemTextA(d.Hwnd(), IDC_TEST_EDIT, " 42 ");
    CheckRadioButton(d.Hwnd(), IDC_TEST_RADIO_A, IDC_TEST_RADIO_C, IDC_TEST_RADIO_B);
    PostMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(shownNumber, "9100");
  EXPECT_EQ(shownText, "hello");
  EXPECT_EQ(checkedC, BST_CHECKED);
  EXPECT_EQ(dialog.number, 42);
  EXPECT_EQ(dialog.radio, 1);
}

TEST_F(DialogLayerTest, NonIntegerTextIsRefusedWithAMessageAndTheDialogStaysOpen) {
  FakeOs os;
  ScriptedDialog dialog;
  dialog.number = 5;
  bool focusOnEdit = false;
  dialog.steps.push_back([&](ScriptedDialog& d) {
    SetDlgItemTextA(d.Hwnd(), IDC_TEST_EDIT, "12abc");
    SendMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    focusOnEdit = GetFocus() == d.Item(IDC_TEST_EDIT);
    d.RunNextStep();
  });
  dialog.steps.push_back([](ScriptedDialog& d) { d.EndDialog(77); });
  EXPECT_EQ(dialog.DoModal(), 77) << "the failed OK must not end the dialog";
  EXPECT_EQ(dialog.number, 5) << "a refused value is not stored";
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Please enter an integer.");
  EXPECT_EQ(boxes[0].caption, "VKPM200_Installer");
  EXPECT_TRUE(focusOnEdit);
}

TEST_F(DialogLayerTest, RangeCheckNamesBothBoundsAndFocusesTheControl) {
  for (const char* value : {"0", "10001", "-3"}) {
    FakeOs os;
    ScriptedDialog dialog;
    dialog.validateRange = true;
    bool focusOnEdit = false;
    dialog.steps.push_back([&](ScriptedDialog& d) {
      SetDlgItemTextA(d.Hwnd(), IDC_TEST_EDIT, value);
      SendMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      focusOnEdit = GetFocus() == d.Item(IDC_TEST_EDIT);
      d.EndDialog(77);
    });
    EXPECT_EQ(dialog.DoModal(), 77) << value;
    const auto boxes = os.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << value;
    EXPECT_EQ(boxes[0].text, "Please enter an integer between 1 and 10000.");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(focusOnEdit) << value;
  }
}

TEST_F(DialogLayerTest, BoundsThemselvesAreAccepted) {
  for (int value : {1, 10000}) {
    ScriptedDialog dialog;
    dialog.validateRange = true;
    dialog.steps.push_back([&](ScriptedDialog& d) {
      SetDlgItemTextA(d.Hwnd(), IDC_TEST_EDIT, std::to_string(value).c_str());
      PostMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.number, value);
  }
}

TEST_F(DialogLayerTest, EscapeEndsWithCancelUnlessPreTranslationSwallowsIt) {
  for (bool swallow : {false, true}) {
    ScriptedDialog dialog;
    dialog.swallowEscape = swallow;
    dialog.steps.push_back([](ScriptedDialog& d) {
      HWND edit = d.Item(IDC_TEST_EDIT);
      SetFocus(edit);
      PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageA(edit, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001));
      d.RunNextStep();  // queued behind the key
    });
    dialog.steps.push_back([](ScriptedDialog& d) { d.EndDialog(55); });
    EXPECT_EQ(dialog.DoModal(), swallow ? 55 : IDCANCEL) << "swallow " << swallow;
  }
}

TEST_F(DialogLayerTest, TheCloseCommandEndsWithCancel) {
  ScriptedDialog dialog;
  dialog.steps.push_back([](ScriptedDialog& d) { PostMessageA(d.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(DialogLayerTest, CheckListTogglesBySpaceAndByTheCheckBoxAndNotifiesTheParent) {
  ScriptedDialog dialog;
  std::vector<std::string> rows;
  std::vector<int> afterSpace, afterClick, afterTextClick;
  dialog.steps.push_back([&](ScriptedDialog& d) {
    for (const char* name : {"Printer B", "Printer A", "Printer C"}) {
      const int index = d.checks.AddString(name);
      d.checks.SetCheck(index, 1);
    }
    for (int i = 0; i < d.checks.GetCount(); ++i) rows.push_back(d.checks.GetText(i));
    HWND list = d.checks.Hwnd();
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(list, WM_CHAR, ' ', 0x00390001);
    PostMessageA(list, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
    d.RunNextStep();
  });
  dialog.steps.push_back([&](ScriptedDialog& d) {
    for (int i = 0; i < 3; ++i) afterSpace.push_back(d.checks.GetCheck(i));
    HWND list = d.checks.Hwnd();
    RECT row;
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    const LPARAM onBox = MAKELPARAM(row.left + 3, (row.top + row.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    SendMessageA(list, WM_LBUTTONUP, 0, onBox);
    for (int i = 0; i < 3; ++i) afterClick.push_back(d.checks.GetCheck(i));
    const LPARAM onText = MAKELPARAM(row.left + 60, (row.top + row.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, onText);
    SendMessageA(list, WM_LBUTTONUP, 0, onText);
    for (int i = 0; i < 3; ++i) afterTextClick.push_back(d.checks.GetCheck(i));
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(rows, (std::vector<std::string>{"Printer A", "Printer B", "Printer C"})) << "sorted";
  EXPECT_EQ(afterSpace, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(afterClick, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(afterTextClick, (std::vector<int>{1, 0, 0})) << "a click on the text only selects";
  int notifications = 0;
  for (const auto& command : dialog.commands)
    notifications += command.first == IDC_TEST_CHECKLIST && command.second == ui::kCheckChange;
  EXPECT_EQ(notifications, 2);
}

// What a change of display scale is measured by: the OK button's place, the
// list's row height, the dialog's font and window rectangle.
struct ScaleView {
  RECT ok{}, window{};
  int rowHeight = 0, fontHeight = 0;
};

ScaleView ViewScale(ScriptedDialog& d) {
  ScaleView v;
  GetWindowRect(d.Item(IDOK), &v.ok);
  MapWindowPoints(nullptr, d.Hwnd(), reinterpret_cast<POINT*>(&v.ok), 2);
  GetWindowRect(d.Hwnd(), &v.window);
  v.rowHeight = static_cast<int>(SendMessageA(d.checks.Hwnd(), LB_GETITEMHEIGHT, 0, 0));
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d.Item(IDOK), WM_GETFONT, 0, 0)), sizeof font, &font);
  v.fontHeight = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  return v;
}

// Moves the dialog from 96 to 192 dpi as Windows does, awareness given.
std::pair<ScaleView, ScaleView> ChangeScale(FakeOs& os, DPI_AWARENESS_CONTEXT awareness) {
  static UINT dpi = 96;
  dpi = 96;
  os.Replace<&PlatformApi::GetDpiForWindow>([](HWND) { return dpi; });
  os.Replace<&PlatformApi::GetWindowDpiAwarenessContext>([awareness](HWND) { return awareness; });
  // Compared here as Windows compares them: which contexts the platform
  // knows is not what these tests are about.
  os.Replace<&PlatformApi::AreDpiAwarenessContextsEqual>(
      [](DPI_AWARENESS_CONTEXT a, DPI_AWARENESS_CONTEXT b) { return a == b ? TRUE : FALSE; });
  ScriptedDialog dialog;
  ScaleView before, after;
  dialog.steps.push_back([&](ScriptedDialog& d) {
    d.checks.AddString("Printer A");
    before = ViewScale(d);
    RECT suggested = before.window;
    suggested.right = suggested.left + 2 * (before.window.right - before.window.left);
    suggested.bottom = suggested.top + 2 * (before.window.bottom - before.window.top);
    dpi = 192;
    SendMessageA(d.Hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    after = ViewScale(d);
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  return {before, after};
}

TEST_F(DialogLayerTest, AChangeOfScaleLaysTheDialogOutAgainWhereTheSystemDoesNot) {
  FakeOs os;
  const auto [before, after] = ChangeScale(os, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  EXPECT_EQ(after.window.right - after.window.left, 2 * (before.window.right - before.window.left))
      << "moved to the suggested rectangle";
  EXPECT_NEAR(after.ok.left, 2 * before.ok.left, 1);
  EXPECT_NEAR(after.ok.top, 2 * before.ok.top, 1);
  EXPECT_NEAR(after.ok.right - after.ok.left, 2 * (before.ok.right - before.ok.left), 2);
  EXPECT_NEAR(after.fontHeight, 2 * before.fontHeight, 1) << "the font made again at the new scale";
  EXPECT_GE(after.rowHeight, ui::MetricForDpi(SM_CYMENUCHECK, 192) + 4) << "rows hold the larger check box";
  EXPECT_GE(after.rowHeight, after.fontHeight);
}

TEST_F(DialogLayerTest, UnderPerMonitorVersionTwoTheSystemPlacesTheControlsAndTheDialogSizesItsRows) {
  FakeOs os;
  const auto [before, after] = ChangeScale(os, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  EXPECT_EQ(after.ok.left, before.ok.left) << "left to the dialog manager";
  EXPECT_EQ(after.fontHeight, before.fontHeight);
  EXPECT_GE(after.rowHeight, ui::MetricForDpi(SM_CYMENUCHECK, 192) + 4);
}

TEST_F(DialogLayerTest, WithoutThePerMonitorFunctionsSizesFollowTheSystemScale) {
  FakeOs os;
  os.FailNth("GetDpiForWindow", 0, ERROR_PROC_NOT_FOUND);
  os.FailNth("GetSystemMetricsForDpi", 0, ERROR_PROC_NOT_FOUND);
  os.FailNth("GetWindowDpiAwarenessContext", 0, ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(ui::WindowDpi(GetDesktopWindow()), 96u) << "the test prefix's scale";
  EXPECT_EQ(ui::MetricForDpi(SM_CXICON, 96), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(ui::MetricForDpi(SM_CXICON, 192), 2 * GetSystemMetrics(SM_CXICON));
  EXPECT_FALSE(ui::SystemRescalesDialog(GetDesktopWindow()));
}

TEST_F(DialogLayerTest, MessageBoxesCarryTheProgramsBaseName) {
  FakeOs os;
  os.QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(ui::ShowMessageBox("Restart?", MB_YESNO | MB_ICONQUESTION), IDNO);
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "VKPM200_Installer");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(DialogLayerTest, UnattendedBoxesAreTracedWithTheirDefaultAnswersAndSwitchesDecideTheRestart) {
  InitTraceLog();
  FakeOs os;
  ui::SetDeployment({false, true, ui::RestartChoice::Never});
  EXPECT_EQ(ui::ShowMessageBox("Done.", MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(ui::ShowMessageBox("Restart?", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_FALSE(ui::AskRestart());
  ui::SetDeployment({false, false, ui::RestartChoice::Force});
  EXPECT_TRUE(ui::AskRestart()) << "/forcerestart asks nobody";
  ui::SetDeployment({});
  EXPECT_EQ(os.CountOf("MessageBoxA"), 0);
  EXPECT_TRUE(test::TraceHasLines({"MESSAGE BOX : Done.", "MESSAGE BOX : Restart?", "RESTART QUESTION ANSWERED : No",
                                   "RESTART QUESTION ANSWERED : Yes"}));
}

TEST_F(DialogLayerTest, ABadSwitchIsListedInABoxOrInTheTraceWhenNobodyCanSeeIt) {
  InitTraceLog();
  FakeOs os;
  CommandLineOptions options;
  EXPECT_FALSE(ui::TakeDeploymentSwitches("/port=COM9", ProgramKind::Installer, options));
  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_NE(os.MessageBoxes()[0].text.find("/tcpport"), std::string::npos) << "the switches are listed";
  EXPECT_FALSE(ui::TakeDeploymentSwitches("-QUIET /reboot", ProgramKind::Uninstaller, options));
  EXPECT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_NE(test::ReadTraceLog().find(": BAD COMMAND LINE : "), std::string::npos);
  EXPECT_FALSE(ui::CurrentDeployment().Unattended()) << "nothing taken from a refused line";
}

// A main dialog Windows cannot make (no desktop, its heap used up) means
// nothing was done: the run fails, and the trace says why.
TEST_F(DialogLayerTest, AMainDialogThatCannotBeMadeEndsTheRunAsFailed) {
  InitTraceLog();
  struct NoDialogProgram : test::TestApp {
    NoDialogProgram() : TestApp("VKPM200_Uninstaller") {}
    bool InitInstance() override {
      ui::Dialog missing(0x7ffe);  // no such template
      ran = RunMainDialog(missing);
      notCreated = missing.NotCreated();
      return false;
    }
    bool ran = true, notCreated = false;
  } program;
  EXPECT_EQ(program.Run(GetModuleHandleA(nullptr)), static_cast<int>(kExitInstallFailed));
  EXPECT_FALSE(program.ran);
  EXPECT_TRUE(program.notCreated);
  EXPECT_EQ(test::TraceEntriesStartingWith("The dialog could not be created. (").size(), 1u) << test::ReadTraceLog();
}

TEST_F(DialogLayerTest, SystemErrorTextIsTheUsEnglishDescription) {
  FakeOs os;
  const std::string text = ui::SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << text;
  const auto calls = os.CallsOf("FormatMessageA");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args.at(3), std::to_string(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
  EXPECT_EQ(os.CountOf("LocalFree"), 1) << "the system's buffer is released";
  EXPECT_NE(ui::SystemErrorText(ERROR_ACCESS_DENIED), text);
  EXPECT_EQ(ui::SystemErrorText(0x2FFFFFFF), "") << "no description: empty, nothing to free";
  EXPECT_EQ(os.CountOf("LocalFree"), 2);
}

TEST_F(DialogLayerTest, ResourceStringsLoadByIdAndMissingOnesAreEmpty) {
  EXPECT_EQ(ui::LoadResourceString(2), "NORVEKA VKP-M200");
  EXPECT_EQ(ui::LoadResourceString(15), "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200");
  EXPECT_EQ(ui::LoadResourceString(10), "");
}

}  // namespace
}  // namespace vkp
