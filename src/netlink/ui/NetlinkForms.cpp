#include "netlink/ui/NetlinkForms.h"

#include "foundation/ui/ScreenFrames.h"
#include "netlink/ui/TFrNetDev.h"

namespace NetlinkForms {

void RegisterFrames() {
    ScreenFrames::Register(12, [] { return new TFrNetDev; });
}

void InstallHooks() {}

}  // namespace NetlinkForms
