// vkp_robot_sample: a small dialog with the kinds of controls the installer
// and uninstaller use. Every user action is echoed into a static so that the
// robot's tests can see that the program, not just the control, noticed it.
// Exit codes: Done 1603, Cancel/Escape/Close 2, Fail 0xFFFFFFFF.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "sample_ids.h"

namespace {

constexpr int kCheckBoxWidth = 14;
constexpr UINT kDoneExitCode = 1603;
constexpr UINT kCancelExitCode = 2;

WNDPROC g_listProc = nullptr;
bool g_busy = false;
int g_presses = 0;

void SetStatus(HWND dlg, int id, const char* text) { SetDlgItemTextA(dlg, id, text); }

void ToggleRow(HWND list, int row) {
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (row < 0 || row >= count) return;
  const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
  const LPARAM next = data ? 0 : 1;
  SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), next);
  RECT rc{};
  if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc)) !=
      LB_ERR)
    InvalidateRect(list, &rc, TRUE);
  char text[64];
  std::snprintf(text, sizeof text, "row %d=%s", row, next ? "checked" : "unchecked");
  SetStatus(GetParent(list), IDC_LIST_ECHO, text);
}

// Check-list behaviour: space toggles the selected row, a click on a row's
// check box toggles that row.
LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == VK_SPACE) {
    ToggleRow(list, static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
    return 0;
  }
  if (msg == WM_LBUTTONDOWN && static_cast<short>(LOWORD(lp)) < kCheckBoxWidth) {
    const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, lp);
    if (HIWORD(hit) == 0) ToggleRow(list, LOWORD(hit));
  }
  return CallWindowProcA(g_listProc, list, msg, wp, lp);
}

void DrawRow(const DRAWITEMSTRUCT& di) {
  if (di.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (di.itemState & ODS_SELECTED) != 0;
  FillRect(di.hDC, &di.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  RECT box = di.rcItem;
  box.left += 1;
  box.right = box.left + kCheckBoxWidth - 2;
  DrawFrameControl(di.hDC, &box, DFC_BUTTON,
                   DFCS_BUTTONCHECK | (di.itemData ? DFCS_CHECKED : 0));
  char text[256];
  text[0] = '\0';
  const LRESULT len = SendMessageA(di.hwndItem, LB_GETTEXTLEN, di.itemID, 0);
  if (len != LB_ERR && len < static_cast<LRESULT>(sizeof text))
    SendMessageA(di.hwndItem, LB_GETTEXT, di.itemID, reinterpret_cast<LPARAM>(text));
  RECT textRc = di.rcItem;
  textRc.left += kCheckBoxWidth + 2;
  SetBkMode(di.hDC, TRANSPARENT);
  SetTextColor(di.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextA(di.hDC, text, -1, &textRc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void SetBusy(HWND dlg, bool busy) {
  g_busy = busy;
  if (busy) {
    DeleteMenu(GetSystemMenu(dlg, FALSE), SC_CLOSE, MF_BYCOMMAND);
  } else {
    GetSystemMenu(dlg, TRUE);  // back to the default menu
  }
  SetStatus(dlg, IDC_STATUS, busy ? "busy" : "idle");
}

void OnCommand(HWND dlg, int id, int code) {
  char text[128];
  switch (id) {
    case IDC_PRESS:
      std::snprintf(text, sizeof text, "pressed %d", ++g_presses);
      SetStatus(dlg, IDC_STATUS, text);
      break;
    case IDC_ALPHA:
    case IDC_BETA:
      if (code == BN_CLICKED)
        SetStatus(dlg, IDC_STATUS, IsDlgButtonChecked(dlg, IDC_BETA) ? "radio Beta" : "radio Alpha");
      break;
    case IDC_EDIT:
      if (code == EN_CHANGE) {
        char value[96];
        GetDlgItemTextA(dlg, IDC_EDIT, value, sizeof value);
        std::snprintf(text, sizeof text, "edit=%s", value);
        SetStatus(dlg, IDC_EDIT_ECHO, text);
      }
      break;
    case IDC_READ_IP: {
      DWORD addr = 0;
      const LRESULT filled = SendDlgItemMessageA(dlg, IDC_IP, IPM_GETADDRESS, 0,
                                                 reinterpret_cast<LPARAM>(&addr));
      std::snprintf(text, sizeof text, "ip=%u.%u.%u.%u fields=%d",
                    static_cast<unsigned>(FIRST_IPADDRESS(addr)),
                    static_cast<unsigned>(SECOND_IPADDRESS(addr)),
                    static_cast<unsigned>(THIRD_IPADDRESS(addr)),
                    static_cast<unsigned>(FOURTH_IPADDRESS(addr)), static_cast<int>(filled));
      SetStatus(dlg, IDC_IP_ECHO, text);
      break;
    }
    case IDC_STEP: {
      SendDlgItemMessageA(dlg, IDC_PROGRESS, PBM_STEPIT, 0, 0);
      const LRESULT pos = SendDlgItemMessageA(dlg, IDC_PROGRESS, PBM_GETPOS, 0, 0);
      std::snprintf(text, sizeof text, "pos=%d", static_cast<int>(pos));
      SetStatus(dlg, IDC_STATUS, text);
      break;
    }
    case IDC_BUSY:
      SetBusy(dlg, IsDlgButtonChecked(dlg, IDC_BUSY) == BST_CHECKED);
      break;
    case IDC_ASK: {
      const int answer = MessageBoxA(dlg, "Continue the sample?", "Sample Question", MB_YESNO);
      SetStatus(dlg, IDC_STATUS, answer == IDYES ? "answer=YES" : "answer=NO");
      break;
    }
    case IDC_FAIL:
      ExitProcess(0xFFFFFFFFu);
    case IDOK:
      PostQuitMessage(static_cast<int>(kDoneExitCode));
      break;
    case IDCANCEL:
      PostQuitMessage(static_cast<int>(kCancelExitCode));
      break;
    default:
      break;
  }
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ENDSESSION:
      // Tests learn from this file that a restart asked every application to end.
      if (wp) {
        HANDLE file = CreateFileA("C:\\vkp-sample\\session-ended.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
      }
      return TRUE;
    case WM_INITDIALOG: {
      HWND list = GetDlgItem(dlg, IDC_LIST);
      const char* rows[] = {"Printer A", "Printer B", "Printer C"};
      for (const char* row : rows) {
        const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), 1);
      }
      g_listProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
      SendDlgItemMessageA(dlg, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      SendDlgItemMessageA(dlg, IDC_PROGRESS, PBM_SETSTEP, 9, 0);
      CheckRadioButton(dlg, IDC_ALPHA, IDC_BETA, IDC_ALPHA);
      return TRUE;
    }
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 16;
      return TRUE;
    case WM_DRAWITEM:
      DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND:
      OnCommand(dlg, LOWORD(wp), HIWORD(wp));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  HWND dlg = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SAMPLE), nullptr, DialogProc, 0);
  if (!dlg) return 1;
  // Own loop, so that Escape can be kept from the dialog while busy, as the
  // installer's message filter does.
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (g_busy && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      SetStatus(dlg, IDC_STATUS, "busy, Escape kept");  // the test waits for this, not for a time
      continue;
    }
    if (IsDialogMessageA(dlg, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(dlg);
  return static_cast<int>(msg.wParam);
}
