#include "devices/ui/DeviceForms.h"

#include "devices/SecurityPost.h"
#include "foundation/NavigationHooks.h"
#include "platform/ui/QtToneOutput.h"

namespace DeviceForms {

void RegisterFrames() {}

void InstallHooks() {
    // Melody previews sound on the sound card when there is one.
    InstallSoundCardTones();
    Hooks().LoadSecurityPost = [] { LoadSecurityPost(); };
}

}  // namespace DeviceForms
