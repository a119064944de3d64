#include "site/ui/SiteForms.h"

#include "foundation/NavigationHooks.h"
#include "foundation/ui/ScreenFrames.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"

namespace SiteForms {

void RegisterFrames() {
    ScreenFrames::Register(1, [] { return new TFrMatr; });
    ScreenFrames::Register(3, [] { return new TFrPod; });
    ScreenFrames::Register(6, [] { return new TFrKvr; });
}

void InstallHooks() {
    // Leaving the object screen closes its edit panel.
    Hooks().CloseObjectEditPanel = [] {
        if (TFrMatr* frame = TFrMatr::Instance()) frame->VvodObjClick();
    };
}

}  // namespace SiteForms
