#include "devices/ui/DeviceForms.h"

#include "devices/DeviceRecordSync.h"
#include "devices/SecurityPost.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TFrPo.h"
#include "foundation/NavigationHooks.h"
#include "foundation/ui/ScreenFrames.h"
#include "foundation/ui/TFProgress.h"
#include "platform/ui/QtToneOutput.h"

namespace DeviceForms {

void RegisterFrames() {
    ScreenFrames::Register(4, [] { return new TFrPk; });
    ScreenFrames::Register(5, [] { return new TFrBv; });
    ScreenFrames::Register(7, [] { return new TFrPo; });
}

void InstallHooks() {
    // Melody previews sound on the sound card when there is one.
    InstallSoundCardTones();
    NavigationHooks& hooks = Hooks();
    hooks.LoadSecurityPost = [] { LoadSecurityPost(); };
    // The switch and call-panel screens make the device records from the
    // matrix, and keep them in line with it after each save.
    hooks.CreateSwitchRecords = [] { SyncPkRecords(ProgressGauge()); };
    hooks.CreateCallPanelRecords = [] { SyncPkRecords(ProgressGauge()); };
    hooks.SyncDeviceRecords = [] {
        return DeviceSyncResult{SyncPkRecords(ProgressGauge()).result == DeviceChange::Declined};
    };
}

}  // namespace DeviceForms
