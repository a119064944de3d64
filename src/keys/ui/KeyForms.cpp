#include "keys/ui/KeyForms.h"

#include "foundation/ui/ScreenFrames.h"
#include "keys/ui/TFrKeys.h"

namespace KeyForms {

void RegisterFrames() {
    ScreenFrames::Register(9, [] { return new TFrKeys; });
}

void InstallHooks() {}

}  // namespace KeyForms
