#include "removal/RemovalHost.h"
#include "resources/InstallerResource.h"

namespace vkp::removal {

const ModelStringIds kInstallerStringIds{IDS_MAKER, IDS_GPD_FILE, IDS_BUD_FILE, IDS_UI_INI_FILE, IDS_MODEL_TAG};

}  // namespace vkp::removal
