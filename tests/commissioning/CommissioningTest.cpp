// Commissioning the reference object: from an empty program folder to
// programmed devices on the simulated device network, the way an engineer
// does it, through the program's own screens and operations.
#include "CommissioningRoad.h"

namespace CommissioningTestUnit {
namespace {

TEST_F(CommissioningRoad, TheReferenceObjectFromAnEmptyFolderToProgrammedDevices) {
    RunSteps(1, kLastStep);
}
}  // namespace
}  // namespace CommissioningTestUnit
