#include "foundation/NavigationHooks.h"

#include "foundation/MatrTable.h"
#include "foundation/TerminalDistribution.h"

NavigationHooks::NavigationHooks()
    : ReopenMatrix([] {
          // A failure while the database opened is reported here, on the matrix screen.
          OpenMatrTable();
          ReportMatrTableError();
      }),
      // A matrix that did not open has been told already, and its refill
      // would only meet the same cause again: one box says it.
      RebuildMatrTable([] {
          if (MatrTableError().isEmpty()) ::RebuildMatrTable();
      }),
      CheckApartmentNumbering([] { return ::CheckApartmentNumbering(); }),
      CheckApartmentCounts([] { return ::CheckApartmentCounts(1, false); }) {}

NavigationHooks& Hooks() {
    static NavigationHooks hooks;
    return hooks;
}
