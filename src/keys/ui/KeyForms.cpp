#include "keys/ui/KeyForms.h"

#include "foundation/ui/ScreenFrames.h"
#include "keys/ui/TFrKeys.h"
#include "platform/ui/DesktopClipboard.h"

namespace KeyForms {

void RegisterFrames() {
    ScreenFrames::Register(9, [] { return new TFrKeys; });
}

// Keys travel to and from other programs through the desktop's clipboard.
void InstallHooks() {
    static DesktopClipboard desktop;
    Clipboard::SetBackend(&desktop);
}

}  // namespace KeyForms
