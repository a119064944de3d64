#pragma once
// What the main window reads and does through the data module: open and close
// the database, the object list, the global parameters, the full reopen.

#include "foundation/Globals.h"
#include "foundation/ScreenNavigation.h"

#include <QString>
#include <functional>

namespace MainWindowData {

// Opens folder + "db_arm_vesk.mdb" (schema upgrade included). A missing file
// fails without a reason; a file that is not a usable database fails with one.
bool Connect(const QString& folder, QString* reason);
void Disconnect();
// A database is open (its lists are read when first read).
bool IsOpen();
// Nothing can be written into it (TFDM::ReadOnly); also when none is open.
bool ReadOnly();

bool ObjectListEmpty();
// Makes the object with this id_net current, else the first one.
void LocateObjectOrFirst(int idNet);
// id_net of the current object, 0 with an empty list.
int CurrentObjectId();
// Record number of the current object in Q_Net.
int CurrentObjectRecNo();
bool ObjectHasConsole();  // k_net.l_pok
int ObjectGateCount();    // k_net.v_kal

// Globals from the first t_global row, or the defaults when it has none.
// Returns true when the row existed.
bool LoadGlobals(ArmGlobals& g);

// t_global.WidthMain, the installation's window width; 0 without a row.
int StoredMainWidth();

// Reopens every dataset, stepping progress (value, maximum, visible).
bool OpenAllTables(const std::function<void(int, int, bool)>& progress, QString* reason);

// What the screen checks read of the current object. withResidents also
// reads the residents list.
ScreenRules::ObjectFacts ReadObjectFacts(bool withResidents = false);
QString ObjectState();  // k_net.st_net
bool HasSwitchRecords();
bool HasCallPanelRecords();
bool HasApartments();
int ObjectCount();
void SelectObjectRecNo(int recNo);
// Entrances of the current house, and its planned count k_dom.v_pod.
int CurrentHouseEntrances();
int CurrentHousePlannedEntrances();
// True when some entrance of the object has no apartment rows.
bool AnyEntranceWithoutApartments();
// Normalises k_net.flbv/flpo and writes both back when either changed and
// the file can be written.
void NormaliseFlagMasks();
// The console's configuration-file state after an edit, written when it
// changes and the file can be written.
void AdvanceConsoleFileState();

// Record number of the switch list Q_MNpk, kept across the device screens' step.
int SwitchListRecNo();
void RestoreSwitchListRecNo(int recNo);
}  // namespace MainWindowData
