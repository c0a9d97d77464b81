#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "InstallerResource.h"
#include "installer/Port_Dlg.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/ConfigFiles.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

using test::CurrentDirConfigPath;
using test::WriteFileText;

struct SilentValues {
  int portType;
  int portNumber;
  std::string ip;
  bool networkEnabled;
  std::string editText;
  DWORD address;
};

// The silent-mode use: created hidden, values read, window destroyed.
SilentValues CreateHidden() {
  PortDlg dialog;
  EXPECT_TRUE(dialog.CreateModeless(nullptr));
  ShowWindow(dialog.Hwnd(), SW_HIDE);
  SilentValues values{dialog.GetPortType(), dialog.GetPortNumber(), dialog.GetIPAddress(),
                      IsWindowEnabled(dialog.Item(IDC_IPADDRESS)) != FALSE, "", 0};
  char text[32] = "";
  GetDlgItemTextA(dialog.Hwnd(), IDC_EDIT_PORT, text, sizeof text);
  values.editText = text;
  SendMessageA(dialog.Item(IDC_IPADDRESS), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&values.address));
  EXPECT_FALSE(IsWindowVisible(dialog.Hwnd()));
  dialog.DestroyWindow();
  return values;
}

class PortDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveConfigFiles();
    InitTraceLog();
  }
  void TearDown() override { test::RemoveConfigFiles(); }
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(PortDialogTest, WithoutConfigurationItIsCom1Port9100AndAddressZero) {
  const SilentValues values = CreateHidden();
  EXPECT_EQ(values.portType, 0);
  EXPECT_EQ(values.portNumber, 9100);
  EXPECT_EQ(values.ip, "0.0.0.0");
  EXPECT_FALSE(values.networkEnabled);
  EXPECT_EQ(values.editText, "9100");
  EXPECT_EQ(values.address, 0u);
}

TEST_F(PortDialogTest, PresetsComeFromTheConfigurationFile) {
  struct Row {
    const char* content;
    int portType;
    int portNumber;
    const char* ip;
    bool networkEnabled;
  };
  const Row rows[] = {
      {"PORT=COM3", 2, 9100, "0.0.0.0", false},
      {"PORT=USB", 4, 9100, "0.0.0.0", false},
      {"PORT=COM10", 0, 9100, "0.0.0.0", false},
      {"PORT=USB2", 4, 9100, "0.0.0.0", false},
      {"PORT=wlan", 0, 9100, "0.0.0.0", false},
      {"PORT=WLAN\r\nWLAN_PORT=9101\r\nWLAN_IP_1=192\r\nWLAN_IP_2=168\r\nWLAN_IP_3=0\r\nWLAN_IP_4=20", 5, 9101,
       "192.168.0.20", true},
      {"PORT=WLAN\r\nWLAN_IP_2=300\r\nWLAN_IP_3=-1\r\nWLAN_IP_4=abc", 5, 9100, "0.255.255.0", true},
      {"WLAN_PORT=0", 0, 9100, "0.0.0.0", false},
      {"WLAN_PORT=text", 0, 9100, "0.0.0.0", false},
      {"WLAN_PORT=20000", 0, 20000, "0.0.0.0", false},
  };
  for (const Row& row : rows) {
    WriteFileText(CurrentDirConfigPath(), std::string("[VKPM200]\r\n") + row.content + "\r\n");
    const SilentValues values = CreateHidden();
    EXPECT_EQ(values.portType, row.portType) << row.content;
    EXPECT_EQ(values.portNumber, row.portNumber) << row.content;
    EXPECT_EQ(values.ip, row.ip) << row.content;
    EXPECT_EQ(values.networkEnabled, row.networkEnabled) << row.content;
    EXPECT_EQ(values.editText, std::to_string(row.portNumber)) << row.content;
  }
}

TEST_F(PortDialogTest, TheIpControlShowsTheConfiguredOctets) {
  WriteFileText(CurrentDirConfigPath(),
                "[VKPM200]\r\nPORT=WLAN\r\nWLAN_IP_1=10\r\nWLAN_IP_2=1\r\nWLAN_IP_3=2\r\nWLAN_IP_4=3\r\n");
  EXPECT_EQ(CreateHidden().address, static_cast<DWORD>(MAKEIPADDRESS(10, 1, 2, 3)));
}

// Interactive use: the script runs on a helper thread against the modal dialog.
class Scripted {
 public:
  explicit Scripted(std::function<void(HWND)> script) : script_(std::move(script)) {}
  INT_PTR Run(PortDlg& dialog) {
    std::thread driver([this] {
      HWND window = nullptr;
      for (int i = 0; i < 500 && window == nullptr; ++i) {
        window = FindWindowA(nullptr, "Port Type");
        if (window == nullptr || !IsWindowVisible(window)) {
          window = nullptr;
          Sleep(10);
        }
      }
      if (window != nullptr) script_(window);
    });
    const INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
  }

 private:
  std::function<void(HWND)> script_;
};

void Click(HWND window, int id) { SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }
bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

TEST_F(PortDialogTest, WirelessLanEnablesTheNetworkFieldsAndOtherChoicesDisableThem) {
  std::vector<std::pair<bool, bool>> states;  // (ip control, port edit) after each click
  PortDlg dialog;
  const INT_PTR result = Scripted([&](HWND window) {
    states.emplace_back(Enabled(window, IDC_IPADDRESS), Enabled(window, IDC_EDIT_PORT));
    for (int id : {IDC_RADIO_WLAN, IDC_RADIO_COM2, IDC_RADIO_WLAN, IDC_RADIO_USB, IDC_RADIO_WLAN, IDC_RADIO_COM4}) {
      Click(window, id);
      states.emplace_back(Enabled(window, IDC_IPADDRESS), Enabled(window, IDC_EDIT_PORT));
    }
    Click(window, IDC_RADIO_WLAN);
    SendMessageA(GetDlgItem(window, IDC_IPADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 0, 20));
    SetDlgItemTextA(window, IDC_EDIT_PORT, "9100");
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }).Run(dialog);
  EXPECT_EQ(result, IDOK);
  const std::vector<std::pair<bool, bool>> expected = {{false, false}, {true, true},  {false, false}, {true, true},
                                                       {false, false}, {true, true},  {false, false}};
  EXPECT_EQ(states, expected);
  EXPECT_EQ(dialog.GetPortType(), 5);
  EXPECT_EQ(dialog.GetPortNumber(), 9100);
  EXPECT_EQ(dialog.GetIPAddress(), "192.168.0.20");
}

TEST_F(PortDialogTest, NextRefusesPortsOutsideOneTo10000AndStaysOpen) {
  test::FakeOs os;
  std::vector<bool> stillOpen;
  PortDlg dialog;
  const INT_PTR result = Scripted([&](HWND window) {
    Click(window, IDC_RADIO_WLAN);
    for (const char* text : {"0", "10001", "abc", ""}) {
      SetDlgItemTextA(window, IDC_EDIT_PORT, text);
      SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      stillOpen.push_back(IsWindowVisible(window) != FALSE);
    }
    SetDlgItemTextA(window, IDC_EDIT_PORT, "10000");
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }).Run(dialog);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(stillOpen, (std::vector<bool>{true, true, true, true}));
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, "Please enter an integer between 1 and 10000.");
  EXPECT_EQ(boxes[1].text, "Please enter an integer between 1 and 10000.");
  EXPECT_EQ(boxes[2].text, "Please enter an integer.");
  EXPECT_EQ(boxes[0].caption, "VKPM200_Installer");
  EXPECT_EQ(dialog.GetPortNumber(), 10000);
}

TEST_F(PortDialogTest, AConfiguredPortAbove10000IsRefusedEvenForASerialPort) {
  test::FakeOs os;
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORT=COM2\r\nWLAN_PORT=20000\r\n");
  PortDlg dialog;
  bool editEnabled = true;
  const INT_PTR result = Scripted([&](HWND window) {
    editEnabled = Enabled(window, IDC_EDIT_PORT);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }).Run(dialog);
  EXPECT_FALSE(editEnabled);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(os.MessageBoxes().size(), 1u);
}

TEST_F(PortDialogTest, CloseAndEscapeReportCancel) {
  {
    PortDlg dialog;
    EXPECT_EQ(Scripted([](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }).Run(dialog), IDCANCEL);
  }
  {
    PortDlg dialog;
    EXPECT_EQ(Scripted([](HWND window) {
                HWND focus = GetDlgItem(window, IDC_RADIO_COM1);
                PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
              }).Run(dialog),
              IDCANCEL);
  }
}

TEST_F(PortDialogTest, EnterActsOnNext) {
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORT=USB\r\n");
  PortDlg dialog;
  EXPECT_EQ(Scripted([](HWND window) {
              PostMessageA(GetDlgItem(window, IDC_RADIO_USB), WM_KEYDOWN, VK_RETURN, 0x001C0001);
            }).Run(dialog),
            IDOK);
  EXPECT_EQ(dialog.GetPortType(), 4);
}

}  // namespace
}  // namespace vkp
