#include "foundation/MainWindowData.h"

// Stand-in until the data module is merged.
namespace MainWindowData {
bool Connect(const QString&, QString*) {
    return false;
}
void Disconnect() {}
bool IsOpen() {
    return false;
}
bool ObjectListEmpty() {
    return true;
}
void LocateObjectOrFirst(int) {}
int CurrentObjectId() {
    return 0;
}
int CurrentObjectRecNo() {
    return 0;
}
bool ObjectHasConsole() {
    return false;
}
int ObjectGateCount() {
    return 0;
}
bool LoadGlobals(ArmGlobals&) {
    return false;
}
void OpenAllTables(const std::function<void(int, int)>&) {}
}  // namespace MainWindowData
