#include "site/ui/SiteForms.h"

namespace SiteForms {

void RegisterFrames() {}

void InstallHooks() {}

}  // namespace SiteForms
