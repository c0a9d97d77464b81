// The INF files of the system's INF folder.
#pragma once

#include <string>
#include <vector>

namespace vkp {

// Names (not paths) of the INF files of style INF_STYLE_WIN4 in `infFolder`
// (a full path, e.g. "C:\WINDOWS\inf"). False when the folder cannot be listed.
bool ListInfFolder(const std::string& infFolder, std::vector<std::string>& names);

}  // namespace vkp
