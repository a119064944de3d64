#include "config/ui/ConfigForms.h"

#include "config/ui/TFrRead.h"
#include "foundation/ui/ScreenFrames.h"

namespace ConfigForms {

void RegisterFrames() {
    ScreenFrames::Register(11, [] { return new TFrRead; });
}

void InstallHooks() {}

}  // namespace ConfigForms
