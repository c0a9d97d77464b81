// vkp_robot: drives the dialogs of another process the way a user would, one
// command per invocation, for the end-to-end tests run under Wine.
//
//   vkp_robot wait-window TITLE TIMEOUT_MS [--visible]
//   vkp_robot controls TITLE
//   vkp_robot click TITLE ID          vkp_robot radio TITLE ID
//   vkp_robot type TITLE ID TEXT      vkp_robot ip TITLE ID a.b.c.d
//   vkp_robot list TITLE ID           vkp_robot toggle TITLE ID ROW
//   vkp_robot click-row TITLE ID ROW  vkp_robot key TITLE VK
//   vkp_robot close TITLE             vkp_robot sysmenu-has-close TITLE
//   vkp_robot foreground              vkp_robot answer TITLE BUTTON_ID TIMEOUT_MS
//   vkp_robot screenshot TITLE FILE.bmp  (the whole window, brought to the front)
//   vkp_robot launch EXITFILE WORKDIR PROGRAM
//   vkp_robot version FILE...         (each file's VERSIONINFO, "Name=value" lines)
//   vkp_robot hold-desktop            (stays on the desktop until ended, see CmdHoldDesktop)
//   vkp_robot layout TITLE FACE POINTS  (the dialog's scale and every child's
//       place, see CmdLayout; FACE and POINTS: the template's font, measured
//       with when the control's own font cannot be read from here)
//
// Exit codes: 0 success, 1 usage, 2 window or control not found / time-out,
// 3 refused (control disabled or hidden), 4 a Windows call failed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "robot_hook.h"

namespace {

constexpr int kUsage = 1, kNotFound = 2, kRefused = 3, kFailed = 4;  // exit codes, see above
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kFindTimeoutMs = 3000;  // commands other than wait-window

// Owns what a Windows call handed out; Free releases it unless it is null.
template <typename H, typename Free>
using Owned = std::unique_ptr<std::remove_pointer_t<H>, Free>;
using Handle = Owned<HANDLE, decltype(&CloseHandle)>;

void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }

// Owns a memory DC and restores its original bitmap before deleting it.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  void Select(HGDIOBJ obj) {
    HGDIOBJ prev = SelectObject(dc_, obj);
    if (!old_) old_ = prev;
  }
  void Restore() {
    if (old_) SelectObject(dc_, old_);
    old_ = nullptr;
  }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

bool ParseNumber(const char* text, unsigned long* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 0);
  if (!end || *end) return false;
  *out = v;
  return true;
}

HWND FindTopLevel(const char* title, DWORD timeoutMs, bool mustBeVisible) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND hwnd = FindWindowA(nullptr, title);
    if (hwnd && (!mustBeVisible || IsWindowVisible(hwnd))) return hwnd;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

HWND FindOrReport(const char* title) {
  HWND hwnd = FindTopLevel(title, kFindTimeoutMs, false);
  if (!hwnd) std::fprintf(stderr, "vkp_robot: no window titled \"%s\"\n", title);
  return hwnd;
}

HWND FindControl(HWND parent, const char* idText) {
  unsigned long id = 0;
  if (!ParseNumber(idText, &id)) {
    std::fprintf(stderr, "vkp_robot: bad control id \"%s\"\n", idText);
    return nullptr;
  }
  HWND ctl = GetDlgItem(parent, static_cast<int>(id));
  if (!ctl) std::fprintf(stderr, "vkp_robot: no control %lu\n", id);
  return ctl;
}

// Window text of a window in another process; never blocks on a hung target.
void ReadText(HWND hwnd, char* buf, size_t size) {
  buf[0] = '\0';
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    buf[0] = '\0';
    return;
  }
  buf[size - 1] = '\0';
}

// Prints text on one line: control characters as C escapes.
void PrintEscaped(const char* text) {
  for (const char* p = text; *p; ++p) {
    switch (*p) {
      case '\r': std::fputs("\\r", stdout); break;
      case '\n': std::fputs("\\n", stdout); break;
      case '\t': std::fputs("\\t", stdout); break;
      case '\\': std::fputs("\\\\", stdout); break;
      default: std::fputc(*p, stdout);
    }
  }
}

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r)) return false;
  if (result) *result = r;
  return true;
}

bool IsButtonWithCheck(HWND ctl) {
  char cls[64];
  if (!GetClassNameA(ctl, cls, sizeof cls) || lstrcmpiA(cls, "Button") != 0) return false;
  const LONG type = GetWindowLongA(ctl, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool UserCanUse(HWND ctl) {
  if (!IsWindowEnabled(ctl) || !IsWindowVisible(ctl)) {
    std::fprintf(stderr, "vkp_robot: control is disabled or hidden\n");
    return false;
  }
  return true;
}

// The window titled argv[2] and its control argv[3]; error 0 once both are
// found and, with `use`, the control takes input as it would from a user.
struct Target {
  HWND window = nullptr, control = nullptr;
  int error = kNotFound;
};

Target FindTarget(char** argv, bool use) {
  Target t;
  t.window = FindOrReport(argv[2]);
  if (t.window) t.control = FindControl(t.window, argv[3]);
  if (t.control) t.error = use && !UserCanUse(t.control) ? kRefused : 0;
  return t;
}

BOOL CALLBACK PrintControl(HWND ctl, LPARAM) {
  char cls[64];
  if (!GetClassNameA(ctl, cls, sizeof cls)) cls[0] = '\0';
  char text[1024];
  ReadText(ctl, text, sizeof text);
  std::printf("%u\t%s\t%d\t%d\t", static_cast<unsigned>(GetDlgCtrlID(ctl)) & 0xFFFFu, cls,
              IsWindowEnabled(ctl) ? 1 : 0, IsWindowVisible(ctl) ? 1 : 0);
  DWORD_PTR check = 0;
  if (IsButtonWithCheck(ctl) && Send(ctl, BM_GETCHECK, 0, 0, &check)) {
    std::printf("%u\t", static_cast<unsigned>(check));
  } else {
    std::fputs("-\t", stdout);
  }
  PrintEscaped(text);
  std::fputc('\n', stdout);
  return TRUE;
}

int CmdWaitWindow(int argc, char** argv) {
  unsigned long timeout = 0;
  if (!ParseNumber(argv[3], &timeout)) return kUsage;
  const bool visible = argc > 4 && std::strcmp(argv[4], "--visible") == 0;
  HWND hwnd = FindTopLevel(argv[2], timeout, visible);
  if (!hwnd) {
    std::fprintf(stderr, "vkp_robot: time-out waiting for \"%s\"\n", argv[2]);
    return kNotFound;
  }
  std::printf("%08lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hwnd)));
  return 0;
}

int CmdControls(int, char** argv) {
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  EnumChildWindows(hwnd, PrintControl, 0);
  return 0;
}

int CmdClick(int, char** argv) {
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  // Posted: the handler may open a modal box and must not block the robot.
  const WPARAM wp = MAKEWPARAM(GetDlgCtrlID(ctl), BN_CLICKED);
  return PostMessageA(hwnd, WM_COMMAND, wp, reinterpret_cast<LPARAM>(ctl)) ? 0 : kFailed;
}

int CmdRadio(int, char** argv) {
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  // BM_CLICK lets an automatic button update its own state and its group.
  return Send(ctl, BM_CLICK, 0, 0) ? 0 : kFailed;
}

int CmdType(int, char** argv) {
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  return Send(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : kFailed;
}

int CmdIp(int, char** argv) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  char tail = 0;
  if (std::sscanf(argv[4], "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 ||
      c > 255 || d > 255) {
    std::fprintf(stderr, "vkp_robot: bad address \"%s\"\n", argv[4]);
    return kUsage;
  }
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  return Send(ctl, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(a, b, c, d))) ? 0 : kFailed;
}

int CmdList(int, char** argv) {
  const auto [hwnd, ctl, error] = FindTarget(argv, false);
  if (error) return error;
  DWORD_PTR count = 0, sel = 0;
  if (!Send(ctl, LB_GETCOUNT, 0, 0, &count) || static_cast<LRESULT>(count) == LB_ERR) return kFailed;
  Send(ctl, LB_GETCURSEL, 0, 0, &sel);
  // row, item data (check state of a check list), selected, text
  for (DWORD_PTR row = 0; row < count; ++row) {
    DWORD_PTR len = 0, data = 0;
    char text[512];
    text[0] = '\0';
    // Wide: Wine hands a cross-process LB_GETTEXT back unconverted to an A caller.
    WCHAR wide[256];
    DWORD_PTR got = 0;
    if (SendMessageTimeoutW(ctl, LB_GETTEXTLEN, row, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len) &&
        static_cast<LRESULT>(len) != LB_ERR && len < sizeof wide / sizeof wide[0] &&
        SendMessageTimeoutW(ctl, LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                            kSendTimeoutMs, &got) &&
        static_cast<LRESULT>(got) != LB_ERR && got <= len) {
      wide[got] = L'\0';
      if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr))
        text[0] = '\0';
    }
    Send(ctl, LB_GETITEMDATA, row, 0, &data);
    std::printf("%u\t%lu\t%d\t", static_cast<unsigned>(row), static_cast<unsigned long>(data),
                row == sel ? 1 : 0);
    PrintEscaped(text);
    std::fputc('\n', stdout);
  }
  return 0;
}

LPARAM KeyLParam(UINT vk, bool up) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */)) << 16;
  return up ? (scan | 1 | (static_cast<LPARAM>(3) << 30)) : (scan | 1);
}

int CmdToggle(int, char** argv) {
  unsigned long row = 0;
  if (!ParseNumber(argv[4], &row)) return kUsage;
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  DWORD_PTR r = 0;
  if (!Send(ctl, LB_SETCURSEL, row, 0, &r) || static_cast<LRESULT>(r) == LB_ERR) return kNotFound;
  // Through the queue, as the keyboard would deliver them.
  const BOOL ok = PostMessageA(ctl, WM_KEYDOWN, VK_SPACE, KeyLParam(VK_SPACE, false)) &&
                  PostMessageA(ctl, WM_CHAR, ' ', KeyLParam(VK_SPACE, false)) &&
                  PostMessageA(ctl, WM_KEYUP, VK_SPACE, KeyLParam(VK_SPACE, true));
  return ok ? 0 : kFailed;
}

int CmdClickRow(int, char** argv) {
  unsigned long row = 0;
  if (!ParseNumber(argv[4], &row)) return kUsage;
  const auto [hwnd, ctl, error] = FindTarget(argv, true);
  if (error) return error;
  RECT rc{};
  DWORD_PTR r = 0;
  if (!Send(ctl, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc), &r) ||
      static_cast<LRESULT>(r) == LB_ERR)
    return kNotFound;
  // Inside the check box drawn at the row's left edge.
  const LPARAM at = MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
  const BOOL ok = PostMessageA(ctl, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
                  PostMessageA(ctl, WM_LBUTTONUP, 0, at);
  return ok ? 0 : kFailed;
}

int CmdKey(int, char** argv) {
  unsigned long vk = 0;
  if (!ParseNumber(argv[3], &vk) || vk == 0 || vk > 255) return kUsage;
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  // The key goes where the keyboard would send it: the focused control.
  HWND target = hwnd;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus &&
      (info.hwndFocus == hwnd || IsChild(hwnd, info.hwndFocus)))
    target = info.hwndFocus;
  const UINT key = static_cast<UINT>(vk);
  // The focus may go between the look and the post: then the dialog itself
  // takes the key, as its message loop would route it.
  BOOL ok = PostMessageA(target, WM_KEYDOWN, key, KeyLParam(key, false));
  if (!ok && target != hwnd) {
    target = hwnd;
    ok = PostMessageA(target, WM_KEYDOWN, key, KeyLParam(key, false));
  }
  ok = ok && PostMessageA(target, WM_KEYUP, key, KeyLParam(key, true));
  if (!ok) std::fprintf(stderr, "vkp_robot: posting the key failed (%lu)\n", GetLastError());
  return ok ? 0 : kFailed;
}

int CmdClose(int, char** argv) {
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  return PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : kFailed;
}

// Asks the hook DLL, running inside the window's own thread, a question.
bool AskInside(HWND hwnd, LONG query, LONG* answer) {
  char path[MAX_PATH];
  const DWORD len = GetModuleFileNameA(nullptr, path, sizeof path);
  if (len == 0 || len >= sizeof path) return false;
  char* slash = std::strrchr(path, '\\');
  if (!slash) return false;
  const size_t room = sizeof path - static_cast<size_t>(slash + 1 - path);
  if (std::snprintf(slash + 1, room, "vkp_robot_hook.dll") >= static_cast<int>(room)) return false;
  Owned<HMODULE, decltype(&FreeLibrary)> dll(LoadLibraryA(path), FreeLibrary);
  if (!dll.get()) {
    std::fprintf(stderr, "vkp_robot: cannot load %s (%lu)\n", path, GetLastError());
    return false;
  }
  auto arm = reinterpret_cast<RobotHookArmFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "RobotHookArm")));
  auto read = reinterpret_cast<RobotHookAnswerFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "RobotHookAnswer")));
  auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "RobotHookGetMsg@12")));
  if (!proc)
    proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "RobotHookGetMsg")));
  if (!arm || !read || !proc) return false;
  arm(query);
  const Owned<HHOOK, decltype(&UnhookWindowsHookEx)> hook(
      SetWindowsHookExA(WH_GETMESSAGE, proc, dll.get(), GetWindowThreadProcessId(hwnd, nullptr)),
      UnhookWindowsHookEx);
  if (!hook) return false;
  if (!PostMessageA(hwnd, RegisterWindowMessageA(kRobotHookMessage), 0, 0)) return false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kFindTimeoutMs) {
    LONG done = 0;
    const LONG value = read(&done);
    if (done) {
      *answer = value;
      return value != kRobotNoAnswer;
    }
    Sleep(kPollMs);
  }
  return false;
}

int CmdSysmenuHasClose(int, char** argv) {
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  LONG answer = kRobotNoAnswer;
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (menu) {
    answer = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1) ? 1 : 0;
  } else if (!AskInside(hwnd, kRobotQuerySysmenuClose, &answer)) {
    // Wine: menus of another process are out of reach; the hook reads it in place.
    std::fprintf(stderr, "vkp_robot: cannot read the system menu\n");
    return kFailed;
  }
  std::printf("%ld\n", static_cast<long>(answer));
  return 0;
}

int CmdForeground(int, char**) {
  HWND hwnd = GetForegroundWindow();
  if (!hwnd) {
    std::fprintf(stderr, "vkp_robot: no foreground window\n");
    return kNotFound;
  }
  char title[512];
  ReadText(hwnd, title, sizeof title);
  PrintEscaped(title);
  std::fputc('\n', stdout);
  return 0;
}

int CmdAnswer(int, char** argv) {
  unsigned long button = 0, timeout = 0;
  if (!ParseNumber(argv[3], &button) || !ParseNumber(argv[4], &timeout)) return kUsage;
  // Visible: the box has finished filling in its text.
  HWND box = FindTopLevel(argv[2], timeout, true);
  if (!box) {
    std::fprintf(stderr, "vkp_robot: time-out waiting for box \"%s\"\n", argv[2]);
    return kNotFound;
  }
  HWND ctl = GetDlgItem(box, static_cast<int>(button));
  if (!ctl) {
    std::fprintf(stderr, "vkp_robot: box has no button %lu\n", button);
    return kNotFound;
  }
  char text[1024];
  HWND stat = GetDlgItem(box, 0xFFFF);
  if (stat) {
    ReadText(stat, text, sizeof text);
  } else {
    text[0] = '\0';
  }
  PrintEscaped(text);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  const WPARAM wp = MAKEWPARAM(static_cast<WORD>(button), BN_CLICKED);
  return PostMessageA(box, WM_COMMAND, wp, reinterpret_cast<LPARAM>(ctl)) ? 0 : kFailed;
}

// Sees other processes' windows in their own pixels: an unaware caller would
// get them scaled to 96 dpi (and capture the wrong part of the screen).
void BecomeDpiAware() {
  HMODULE user = GetModuleHandleA("user32");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  using SetAware = BOOL(WINAPI*)();
  auto setContext = reinterpret_cast<SetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
  if (setContext && setContext(reinterpret_cast<HANDLE>(-4))) return;  // per monitor, version 2
  auto setAware = reinterpret_cast<SetAware>(reinterpret_cast<void (*)()>(GetProcAddress(user, "SetProcessDPIAware")));
  if (setAware) setAware();
}

UINT DpiOf(HWND hwnd) {
  using GetDpi = UINT(WINAPI*)(HWND);
  auto getDpi = reinterpret_cast<GetDpi>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32"), "GetDpiForWindow")));
  UINT dpi = getDpi ? getDpi(hwnd) : 0;
  if (dpi == 0) {
    HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi;
}

void DeleteFont(HFONT font) { DeleteObject(font); }
using Font = Owned<HFONT, decltype(&DeleteFont)>;

// The control's font as a copy made here (GDI objects are the owner's), or
// the template's font at the window's scale.
Font FontOf(HWND ctl, const char* face, int points, UINT dpi) {
  LOGFONTA logFont{};
  HFONT own = nullptr;
  DWORD_PTR sent = 0;
  if (Send(ctl, WM_GETFONT, 0, 0, &sent)) own = reinterpret_cast<HFONT>(sent);
  if (own == nullptr || GetObjectA(own, sizeof logFont, &logFont) != sizeof logFont) {
    logFont = LOGFONTA{};
    logFont.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(logFont.lfFaceName, face, LF_FACESIZE);
  }
  return Font(CreateFontIndirectA(&logFont), DeleteFont);
}

struct LayoutContext {
  HWND dialog;
  const char* face;
  int points;
  UINT dpi;
};

// One line per direct child:
//   id class style visible left top right bottom clientW clientH textW textH lineH itemH text
// with the place in the dialog's client coordinates, the text's size in the
// control's font (wrapped at the client width for a static that is not
// single-line, on one line otherwise), the font's line height, and the
// row height of a list box (-1 for others).
BOOL CALLBACK PrintLayout(HWND ctl, LPARAM param) {
  const auto& context = *reinterpret_cast<const LayoutContext*>(param);
  if (GetParent(ctl) != context.dialog) return TRUE;
  char cls[64];
  if (!GetClassNameA(ctl, cls, sizeof cls)) cls[0] = '\0';
  char text[1024];
  ReadText(ctl, text, sizeof text);
  RECT place, client;
  GetWindowRect(ctl, &place);
  MapWindowPoints(nullptr, context.dialog, reinterpret_cast<POINT*>(&place), 2);
  GetClientRect(ctl, &client);
  const LONG style = GetWindowLongA(ctl, GWL_STYLE);

  Font font = FontOf(ctl, context.face, context.points, context.dpi);
  std::unique_ptr<HDC__, decltype(&ReleaseScreenDc)> screen(GetDC(nullptr), ReleaseScreenDc);
  MemoryDc dc(screen.get());
  dc.Select(font.get());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.get(), &metrics);
  const bool wraps = lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
  RECT extent = {0, 0, wraps ? client.right : 0, 0};
  UINT format = DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
  if (text[0] != '\0') DrawTextA(dc.get(), text, -1, &extent, format);
  dc.Restore();

  DWORD_PTR item = static_cast<DWORD_PTR>(-1);
  if (lstrcmpiA(cls, "ListBox") != 0 || !Send(ctl, LB_GETITEMHEIGHT, 0, 0, &item)) item = static_cast<DWORD_PTR>(-1);
  std::printf("%u\t%s\t%08lx\t%d\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t",
              static_cast<unsigned>(GetDlgCtrlID(ctl)) & 0xFFFFu, cls, static_cast<unsigned long>(style),
              IsWindowVisible(ctl) ? 1 : 0, place.left, place.top, place.right, place.bottom, client.right,
              client.bottom, extent.right - extent.left, extent.bottom - extent.top, metrics.tmHeight,
              static_cast<long>(static_cast<LONG_PTR>(item)));
  PrintEscaped(text);
  std::fputc('\n', stdout);
  return TRUE;
}

// First line "dialog DPI clientW clientH", then PrintLayout's lines.
int CmdLayout(int, char** argv) {
  unsigned long points = 0;
  if (!ParseNumber(argv[4], &points)) return kUsage;
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  RECT client;
  GetClientRect(hwnd, &client);
  LayoutContext context{hwnd, argv[3], static_cast<int>(points), DpiOf(hwnd)};
  std::printf("dialog\t%u\t%ld\t%ld\n", context.dpi, client.right, client.bottom);
  EnumChildWindows(hwnd, PrintLayout, reinterpret_cast<LPARAM>(&context));
  return 0;
}

// A new or emptied file; null when it cannot be created.
Handle CreateForWriting(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return Handle(file == INVALID_HANDLE_VALUE ? nullptr : file, CloseHandle);
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// Visible top-level windows above the target in the Z order that overlap it.
struct Obstruction {
  HWND target;
  RECT area;
  std::vector<std::pair<HWND, RECT>> found;
};

BOOL CALLBACK CollectObstruction(HWND hwnd, LPARAM param) {
  auto& o = *reinterpret_cast<Obstruction*>(param);
  if (hwnd == o.target) return FALSE;  // EnumWindows goes from the top down
  RECT rc{}, common{};
  if (IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rc) && IntersectRect(&common, &rc, &o.area))
    o.found.emplace_back(hwnd, rc);
  return TRUE;
}

// Puts the window in front, and moves aside for the copy whatever still covers
// it (boxes and dialogs it owns stay above their owner, as on Windows).
// Returns the windows moved, with their places, to be put back afterwards.
std::vector<std::pair<HWND, RECT>> Uncover(HWND hwnd, const RECT& rc) {
  SetForegroundWindow(hwnd);
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Obstruction o{hwnd, rc, {}};
  EnumWindows(CollectObstruction, reinterpret_cast<LPARAM>(&o));
  const int away = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 100;
  for (const auto& w : o.found)
    SetWindowPos(w.first, nullptr, away, w.second.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A window still busy with its start takes the activation late; a disabled
  // one (a modal dialog or box of its own is up) never takes it.
  for (DWORD waited = 0; GetForegroundWindow() != hwnd && IsWindowEnabled(hwnd) && waited < 2000;
       waited += 200) {
    Sleep(200);
    SetForegroundWindow(hwnd);
  }
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE);
  Sleep(400);  // the window's own thread repaints what was uncovered
  return o.found;
}

int CmdScreenshot(int, char** argv) {
  HWND hwnd = FindOrReport(argv[2]);
  if (!hwnd) return kNotFound;
  RECT rc{};
  if (!GetWindowRect(hwnd, &rc)) return kFailed;
  const auto moved = Uncover(hwnd, rc);
  struct PutBack {
    const std::vector<std::pair<HWND, RECT>>& windows;
    ~PutBack() {
      for (const auto& w : windows)
        SetWindowPos(w.first, HWND_TOP, w.second.left, w.second.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
  } putBack{moved};
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return kFailed;
  const Owned<HDC, decltype(&ReleaseScreenDc)> screen(GetDC(nullptr), ReleaseScreenDc);
  if (!screen) return kFailed;
  MemoryDc mem(screen.get());
  const Owned<HGDIOBJ, decltype(&DeleteObject)> bitmap(CreateCompatibleBitmap(screen.get(), w, h), DeleteObject);
  if (!mem.get() || !bitmap.get()) return kFailed;
  mem.Select(bitmap.get());
  // Copied from the screen: the window belongs to another process, so its
  // own DC cannot be handed to it (PrintWindow).
  if (!BitBlt(mem.get(), 0, 0, w, h, screen.get(), rc.left, rc.top, SRCCOPY)) return kFailed;
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  HGLOBAL pixelsMem = GlobalAlloc(GMEM_FIXED, imageSize);
  if (!pixelsMem) return kFailed;
  struct Freer {
    HGLOBAL m;
    ~Freer() { GlobalFree(m); }
  } freer{pixelsMem};
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof bih;
  bih.biWidth = w;
  bih.biHeight = h;  // bottom-up, as BMP files store rows
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  bih.biSizeImage = imageSize;
  mem.Restore();  // GetDIBits wants the bitmap deselected
  if (!GetDIBits(mem.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(h),
                 pixelsMem, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS))
    return kFailed;
  BITMAPFILEHEADER bfh{};
  bfh.bfType = 0x4D42;  // "BM"
  bfh.bfOffBits = sizeof bfh + sizeof bih;
  bfh.bfSize = bfh.bfOffBits + imageSize;
  const Handle file = CreateForWriting(argv[3]);
  if (!file) return kFailed;
  if (!WriteAll(file.get(), &bfh, sizeof bfh) || !WriteAll(file.get(), &bih, sizeof bih) ||
      !WriteAll(file.get(), pixelsMem, imageSize))
    return kFailed;
  // Size, place of the whole window (frame included) and windows moved aside.
  std::printf("%dx%d%+ld%+ld", w, h, rc.left, rc.top);
  for (const auto& m : moved) {
    char title[256];
    ReadText(m.first, title, sizeof title);
    std::fputs("\tmoved aside: ", stdout);
    PrintEscaped(title);
  }
  std::fputc('\n', stdout);
  return 0;
}

int CmdLaunch(int argc, char** argv) {
  const char* exitFile = argv[2];
  const char* workDir = argv[3];
  char cmdLine[1024];
  int n = std::snprintf(cmdLine, sizeof cmdLine, "\"%s\"", argv[4]);
  if (n < 0 || static_cast<size_t>(n) >= sizeof cmdLine) return kUsage;
  for (int i = 5; i < argc; ++i) {  // the program's own arguments, as given
    const int added = std::snprintf(cmdLine + n, sizeof cmdLine - n, " %s", argv[i]);
    if (added < 0 || static_cast<size_t>(n + added) >= sizeof cmdLine) return kUsage;
    n += added;
  }
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(argv[4], cmdLine, nullptr, nullptr, FALSE, 0, nullptr, workDir, &si, &pi)) {
    std::fprintf(stderr, "vkp_robot: CreateProcess failed (%lu)\n", GetLastError());
    return kFailed;
  }
  const Handle process(pi.hProcess, CloseHandle);
  const Handle thread(pi.hThread, CloseHandle);
  std::printf("%lu\n", pi.dwProcessId);
  std::fflush(stdout);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return kFailed;
  // Written aside and renamed, so a reader never sees a partial number.
  char tmpName[MAX_PATH];
  const int m = std::snprintf(tmpName, sizeof tmpName, "%s.tmp", exitFile);
  if (m < 0 || static_cast<size_t>(m) >= sizeof tmpName) return kUsage;
  char text[16];
  const int len = std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(code));
  {
    const Handle file = CreateForWriting(tmpName);
    if (!file || !WriteAll(file.get(), text, static_cast<DWORD>(len))) return kFailed;
  }
  if (!MoveFileExA(tmpName, exitFile, MOVEFILE_REPLACE_EXISTING)) return kFailed;
  return 0;
}

// Prints one file's VERSIONINFO as the release check reads it: a "File="
// line, then the fixed numbers and the strings of its first translation.
// Files of either bitness: the resources are read, the file never runs.
int PrintVersionInfo(const char* path) {
  std::printf("File=%s\n", path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) {
    std::printf("Error=no version resource (%lu)\n", GetLastError());
    return kNotFound;
  }
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) {
    std::printf("Error=GetFileVersionInfo failed (%lu)\n", GetLastError());
    return kFailed;
  }
  void* value = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(data.data(), "\\", &value, &len) || len < sizeof(VS_FIXEDFILEINFO)) {
    std::printf("Error=no fixed version\n");
    return kNotFound;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  const auto printVersion = [](const char* name, DWORD ms, DWORD ls) {
    std::printf("%s=%u.%u.%u.%u\n", name, static_cast<unsigned>(HIWORD(ms)),
                static_cast<unsigned>(LOWORD(ms)), static_cast<unsigned>(HIWORD(ls)),
                static_cast<unsigned>(LOWORD(ls)));
  };
  printVersion("FixedFileVersion", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  printVersion("FixedProductVersion", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  const DWORD type = fixed->dwFileType;
  std::printf("FileType=%s\n", type == VFT_APP ? "app" : type == VFT_DLL ? "dll" : "other");
  struct Translation {
    WORD language;
    WORD codePage;
  };
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &len) ||
      len < sizeof(Translation)) {
    std::printf("Error=no translation\n");
    return kNotFound;
  }
  const auto* tr = static_cast<const Translation*>(value);
  for (const char* name : {"CompanyName", "ProductName", "FileDescription", "FileVersion",
                           "ProductVersion", "OriginalFilename", "LegalCopyright"}) {
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", tr->language,
                  tr->codePage, name);
    // A missing string prints no line, so that the check names it.
    if (VerQueryValueA(data.data(), query, &value, &len) && len > 0)
      std::printf("%s=%s\n", name, static_cast<const char*>(value));
  }
  return 0;
}

int CmdVersion(int argc, char** argv) {
  int worst = 0;
  for (int i = 2; i < argc; ++i) {
    const int rc = PrintVersionInfo(argv[i]);
    if (rc > worst) worst = rc;
  }
  return worst;
}

// Wine closes a desktop, and ends its explorer, one second after the last
// program on it ended; a program starting just then can find no desktop to
// make its windows on. A Windows desktop stays while the session does: this
// holder keeps Wine's in use between the programs a test runs.
int CmdHoldDesktop(int, char**) {
  HWND window = CreateWindowExA(0, "STATIC", "vkp_robot desktop holder", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr);
  if (window == nullptr) return kFailed;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

struct Command {
  const char* name;
  int minArgc;  // fewer arguments: kUsage
  int (*run)(int, char**);
};

const Command kCommands[] = {
    {"wait-window", 4, CmdWaitWindow},  {"controls", 3, CmdControls},
    {"click", 4, CmdClick},             {"radio", 4, CmdRadio},
    {"type", 5, CmdType},               {"ip", 5, CmdIp},
    {"list", 4, CmdList},               {"toggle", 5, CmdToggle},
    {"click-row", 5, CmdClickRow},      {"key", 4, CmdKey},
    {"close", 3, CmdClose},             {"sysmenu-has-close", 3, CmdSysmenuHasClose},
    {"foreground", 2, CmdForeground},   {"answer", 5, CmdAnswer},
    {"screenshot", 4, CmdScreenshot},   {"launch", 5, CmdLaunch},
    {"version", 3, CmdVersion},         {"layout", 5, CmdLayout},
    {"hold-desktop", 2, CmdHoldDesktop},
};

}  // namespace

// Copied under another name (net.exe, cmd.exe, RUNDLL32.exe next to the
// installer), the robot only records that it was started: such a copy must
// never run. The record is C:\vkp-e2e\ran-NAME.txt.
bool RecordPlantedStart() {
  char path[MAX_PATH];
  const DWORD len = GetModuleFileNameA(nullptr, path, sizeof path);
  if (len == 0 || len >= sizeof path) return false;
  const char* slash = std::strrchr(path, '\\');
  const std::string name = slash != nullptr ? slash + 1 : path;
  if (lstrcmpiA(name.c_str(), "vkp_robot.exe") == 0) return false;
  CreateDirectoryA("C:\\vkp-e2e", nullptr);
  const std::string record = "C:\\vkp-e2e\\ran-" + name + ".txt";
  HANDLE file = CreateFileA(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
  }
  return true;
}

int main(int argc, char** argv) {
  if (RecordPlantedStart()) return 0;
  BecomeDpiAware();  // every command: places and pictures in the windows' own pixels
  if (argc >= 2) {
    for (const Command& c : kCommands) {
      if (std::strcmp(argv[1], c.name) == 0) {
        const int rc = argc < c.minArgc ? kUsage : c.run(argc, argv);
        if (rc == kUsage) std::fprintf(stderr, "vkp_robot: bad arguments for %s\n", c.name);
        std::fflush(stdout);
        return rc;
      }
    }
  }
  std::fprintf(stderr, "usage: vkp_robot COMMAND ARGS (see robot.cpp)\n");
  return kUsage;
}
