#include "keys/ui/KeyForms.h"

namespace KeyForms {

void RegisterFrames() {}

void InstallHooks() {}

}  // namespace KeyForms
