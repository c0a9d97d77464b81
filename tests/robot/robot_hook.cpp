// vkp_robot_hook.dll: answers questions about a window from inside the process
// that owns it. Wine keeps menus in the owning process, so GetSystemMenu on
// another process's window gives NULL there; a message hook set on the
// window's thread reads the menu locally and hands the answer back through
// this DLL's shared section (the robot and the target load the same file).
#include <windows.h>

#include "robot_hook.h"

namespace {
// Shared by every process that loads this DLL file.
volatile LONG g_query __attribute__((section("RobotQ"), shared)) = 0;
volatile LONG g_answer __attribute__((section("RobotQ"), shared)) = kRobotNoAnswer;
volatile LONG g_done __attribute__((section("RobotQ"), shared)) = 0;
}  // namespace

extern "C" __declspec(dllexport) void RobotHookArm(LONG query) {
  g_answer = kRobotNoAnswer;
  g_done = 0;
  InterlockedExchange(&g_query, query);
}

extern "C" __declspec(dllexport) LONG RobotHookAnswer(LONG* done) {
  *done = InterlockedCompareExchange(&g_done, 0, 0);
  return g_answer;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RobotHookGetMsg(int code, WPARAM wp, LPARAM lp) {
  static const UINT kMessage = RegisterWindowMessageA(kRobotHookMessage);
  MSG* msg = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && msg && msg->message == kMessage) {
    LONG answer = kRobotNoAnswer;
    if (g_query == kRobotQuerySysmenuClose) {
      HMENU menu = GetSystemMenu(msg->hwnd, FALSE);
      answer = menu ? (GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1) ? 1 : 0)
                    : kRobotNoAnswer;
    }
    g_answer = answer;
    InterlockedExchange(&g_done, 1);
    msg->message = WM_NULL;  // nothing for the application to see
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}
