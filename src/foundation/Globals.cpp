#include "foundation/Globals.h"

ArmGlobals& Globals() {
    static ArmGlobals globals;
    return globals;
}
