#include "config/ui/ConfigForms.h"

#include "config/ui/TFrRead.h"
#include "config/ui/TFrRedact.h"
#include "config/ui/TFrWrite.h"
#include "foundation/ui/ScreenFrames.h"

namespace ConfigForms {

void RegisterFrames() {
    ScreenFrames::Register(10, [] { return new TFrWrite; });
    ScreenFrames::Register(11, [] { return new TFrRead; });
    ScreenFrames::Register(13, [] { return new TFrRedact; });
}

void InstallHooks() {}

}  // namespace ConfigForms
