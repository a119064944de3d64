#include "devices/ui/DeviceForms.h"

namespace DeviceForms {

void RegisterFrames() {}

void InstallHooks() {}

}  // namespace DeviceForms
