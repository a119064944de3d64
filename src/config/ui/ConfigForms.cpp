#include "config/ui/ConfigForms.h"

namespace ConfigForms {

void RegisterFrames() {}

void InstallHooks() {}

}  // namespace ConfigForms
