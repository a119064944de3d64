#include "config/ui/ConfigForms.h"

#include "config/ui/TFrWrite.h"
#include "foundation/ui/ScreenFrames.h"

namespace ConfigForms {

void RegisterFrames() {
    ScreenFrames::Register(10, [] { return new TFrWrite; });
}

void InstallHooks() {}

}  // namespace ConfigForms
