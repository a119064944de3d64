#include "netlink/ui/NetlinkForms.h"

namespace NetlinkForms {

void RegisterFrames() {}

void InstallHooks() {}

}  // namespace NetlinkForms
