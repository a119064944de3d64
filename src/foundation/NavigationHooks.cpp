#include "foundation/NavigationHooks.h"

#include "foundation/MatrTable.h"
#include "foundation/TerminalDistribution.h"

NavigationHooks::NavigationHooks()
    : ReopenMatrix([] {
          // A failure while the database opened is reported here, on the matrix screen.
          OpenMatrTable();
          ReportMatrTableError();
      }),
      RebuildMatrTable([] { ::RebuildMatrTable(); }),
      CheckApartmentNumbering([] { return ::CheckApartmentNumbering(); }),
      CheckApartmentCounts([] { return ::CheckApartmentCounts(1, false); }) {}

NavigationHooks& Hooks() {
    static NavigationHooks hooks;
    return hooks;
}
