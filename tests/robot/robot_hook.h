// Interface between vkp_robot and vkp_robot_hook.dll.
#pragma once
#include <windows.h>

constexpr const char* kRobotHookMessage = "VKP_ROBOT_HOOK_QUERY";
constexpr LONG kRobotQuerySysmenuClose = 1;
constexpr LONG kRobotNoAnswer = -1;

using RobotHookArmFn = void (*)(LONG);
using RobotHookAnswerFn = LONG (*)(LONG*);
