// Configuration files for tests: the one in the current directory and the
// one in the Windows directory's "VKP-M200" folder; both removed on cleanup.
#pragma once

#include <string>

#include "tests/wine/TestFiles.h"

namespace vkp::test {

std::string CurrentDirConfigPath();
std::string WindowsDirConfigPath();
void RemoveConfigFiles();

}  // namespace vkp::test
