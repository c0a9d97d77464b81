#include "ui/CheckListBox.h"

#include "ui/Dpi.h"

namespace vkp::ui {

namespace {
constexpr char kSelfProperty[] = "vkp.CheckListBox";
}

CheckListBox::~CheckListBox() {
  if (hwnd_ != nullptr && previousProc_ != nullptr && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    RemovePropA(hwnd_, kSelfProperty);
  }
}

void CheckListBox::SubclassWindow(HWND listBox) {
  Attach(listBox);
  SetPropA(listBox, kSelfProperty, this);
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

int CheckListBox::AddString(const std::string& text) const {
  const int index = static_cast<int>(SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (index >= 0) SendMessageA(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
  return index;
}

void CheckListBox::ResetContent() const { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

int CheckListBox::GetCount() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string CheckListBox::GetText(int index) const {
  const LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

int CheckListBox::GetCheck(int index) const {
  const LRESULT data = SendMessageA(hwnd_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? 0 : static_cast<int>(data != 0);
}

void CheckListBox::SetCheck(int index, int check) const {
  SendMessageA(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(index), check ? 1 : 0);
  RECT row;
  if (SendMessageA(hwnd_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) != LB_ERR)
    InvalidateRect(hwnd_, &row, FALSE);
}

void CheckListBox::Toggle(int index) const {
  if (index < 0 || index >= GetCount()) return;
  SetCheck(index, !GetCheck(index));
  SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), kCheckChange),
               reinterpret_cast<LPARAM>(hwnd_));
}

int CheckListBox::CheckBoxSize() const { return MetricForDpi(SM_CYMENUCHECK, WindowDpi(hwnd_)); }

// The smallest row that holds the check box, at `dpi`.
int CheckListBox::RowHeightAt(UINT dpi) { return MetricForDpi(SM_CYMENUCHECK, dpi) + ScaleToDpi(2, dpi); }

// The list asks before it is attached: the row is at least its font's line
// (the system's proposal) and the check box.
void CheckListBox::Measure(MEASUREITEMSTRUCT& item, UINT dpi) {
  const int box = RowHeightAt(dpi);
  if (static_cast<int>(item.itemHeight) < box) item.itemHeight = static_cast<UINT>(box);
}

// A fixed-row list keeps its row height: set it again from the new font's
// line and the check box.
void CheckListBox::DpiChanged(UINT dpi) {
  if (hwnd_ == nullptr) return;
  int line = 0;
  if (HDC dc = GetDC(hwnd_)) {
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    if (GetTextMetricsA(dc, &metrics)) line = metrics.tmHeight;
    SelectObject(dc, previous);
    ReleaseDC(hwnd_, dc);
  }
  const int height = line > RowHeightAt(dpi) ? line : RowHeightAt(dpi);
  SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CheckListBox::Draw(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  RECT row = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  const int box = CheckBoxSize();
  RECT check = {row.left + 1, row.top + (row.bottom - row.top - box) / 2, 0, 0};
  check.right = check.left + box;
  check.bottom = check.top + box;
  RECT checkBackground = {row.left, row.top, check.right + 2, row.bottom};
  FillRect(dc, &checkBackground, GetSysColorBrush(COLOR_WINDOW));
  const bool checked = GetCheck(static_cast<int>(item.itemID)) != 0;
  DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));

  const std::string text = GetText(static_cast<int>(item.itemID));
  RECT textRect = row;
  textRect.left = check.right + 4;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &textRect);
}

LRESULT CALLBACK CheckListBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CheckListBox*>(GetPropA(window, kSelfProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, lParam);
      const int index = LOWORD(hit);
      const bool outside = HIWORD(hit) != 0;
      const int x = static_cast<short>(LOWORD(lParam));
      if (!outside && x < self->CheckBoxSize() + 2) {
        SetFocus(window);
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        self->Toggle(index);
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        self->Toggle(static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == ' ') return 0;  // no type-ahead jump on the toggle key
      break;
    default:
      break;
  }
  return CallWindowProcA(self->previousProc_, window, message, wParam, lParam);
}

}  // namespace vkp::ui
