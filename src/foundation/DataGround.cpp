#include "foundation/DataGround.h"

#include "platform/Dataset.h"
#include "platform/SqliteSelect.h"

#include <QMetaObject>
#include <sqlite3.h>

#include <cstring>
#include <utility>

namespace {

// The tables of the rows a window can stand on.
bool standingTable(const char* table) {
    for (const char* name : {"k_net", "k_dom", "k_pod", "k_pk", "k_bv", "k_po", "k_kvr"})
        if (std::strcmp(table, name) == 0) return true;
    return false;
}

}  // namespace

DataGround::DataGround(QObject* parent) : QObject(parent) {}

DataGround::~DataGround() {
    unwatch();
}

qint64 DataGround::CurrentObject() const {
    // A closed list is not opened from here: it may be closing with its file.
    if (!objects_ || !objects_->IsOpen() || objects_->RecNo() < 1) return 0;
    return objects_->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

void DataGround::FollowObjectList(Dataset* objects) {
    objects_ = objects;
    // A move is told once it is over (a reopen tells it at its end); a list
    // closing or opening with its file is told by FileChanging.
    connect(objects, &Dataset::CurrentChanged, this, &DataGround::objectMayHaveMoved);
}

void DataGround::objectMayHaveMoved() {
    if (!objects_->IsOpen()) return;
    const qint64 current = CurrentObject();
    if (current == announcedObject_) return;
    announcedObject_ = current;
    if (fileReadings_ == 0) emit Moved();
}

DataGround::FileReading::FileReading(DataGround& ground) : ground_(ground) {
    ++ground_.fileReadings_;
}

DataGround::FileReading::~FileReading() {
    --ground_.fileReadings_;
}

// The hooks go with the connection, before it closes and frees its handle.
void DataGround::FileChanging() {
    unwatch();
    ++reading_;
    announcedObject_ = 0;
    emit Moved();
}

void DataGround::unwatch() {
    if (watched_) {
        sqlite3_update_hook(watched_, nullptr, nullptr);
        sqlite3_commit_hook(watched_, nullptr, nullptr);
        sqlite3_rollback_hook(watched_, nullptr, nullptr);
    }
    watched_ = nullptr;
    removed_ = false;
}

// A handle watched before was unhooked by FileChanging before its connection
// closed; one closed otherwise went with its hooks and is not touched.
void DataGround::WatchRemovals(const QSqlDatabase& db) {
    removed_ = false;
    watched_ = SqliteConnection(db);
    if (!watched_) return;
    sqlite3_update_hook(watched_, &DataGround::onRowChange, this);
    sqlite3_commit_hook(watched_, &DataGround::onCommit, this);
    sqlite3_rollback_hook(watched_, &DataGround::onRollback, this);
}

// The engine calls these from inside a statement, where nothing may be read:
// the windows are told once the event loop runs again.
void DataGround::onRowChange(void* self, int op, const char*, const char* table, long long) {
    if (op == SQLITE_DELETE && standingTable(table)) static_cast<DataGround*>(self)->removed_ = true;
}

int DataGround::onCommit(void* self) {
    auto* ground = static_cast<DataGround*>(self);
    if (std::exchange(ground->removed_, false))
        QMetaObject::invokeMethod(ground, &DataGround::removalsCommitted, Qt::QueuedConnection);
    return 0;
}

void DataGround::onRollback(void* self) {
    static_cast<DataGround*>(self)->removed_ = false;
}

void DataGround::removalsCommitted() {
    emit Moved();
}
