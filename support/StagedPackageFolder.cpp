#include "support/StagedPackageFolder.h"

namespace vkp {

std::string StagedPackageFolder(const std::string& windowsDirectory, const std::string& modelName) {
  return windowsDirectory + "\\" + modelName + "_Package";
}

}  // namespace vkp
