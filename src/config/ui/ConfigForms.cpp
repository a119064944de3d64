#include "config/ui/ConfigForms.h"

#include "config/ui/TFrRead.h"
#include "config/ui/TFrRedact.h"
#include "foundation/ui/ScreenFrames.h"

namespace ConfigForms {

void RegisterFrames() {
    ScreenFrames::Register(11, [] { return new TFrRead; });
    ScreenFrames::Register(13, [] { return new TFrRedact; });
}

void InstallHooks() {}

}  // namespace ConfigForms
