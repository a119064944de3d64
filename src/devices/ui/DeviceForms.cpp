#include "devices/ui/DeviceForms.h"

#include "platform/ui/QtToneOutput.h"

namespace DeviceForms {

void RegisterFrames() {}

void InstallHooks() {
    // Melody previews sound on the sound card when there is one.
    InstallSoundCardTones();
}

}  // namespace DeviceForms
