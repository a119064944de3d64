#include "devices/ui/DeviceForms.h"

#include "devices/ui/TFrPk.h"
#include "foundation/ui/ScreenFrames.h"
#include "platform/ui/QtToneOutput.h"

namespace DeviceForms {

void RegisterFrames() {
    ScreenFrames::Register(4, [] { return new TFrPk; });
}

void InstallHooks() {
    // Melody previews sound on the sound card when there is one.
    InstallSoundCardTones();
}

}  // namespace DeviceForms
