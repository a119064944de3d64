#include "foundation/NavigationHooks.h"

NavigationHooks& Hooks() {
    static NavigationHooks hooks;
    return hooks;
}
