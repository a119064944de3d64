#pragma once
// What every window that writes object data stands on: the database file as
// the data module reads it, the object current in its list, and the rows of
// that object the window shows. The data module says here, once, whenever
// any of them may have moved: another object became current (chosen, made
// new, the one shown deleted), the file was closed, opened or read anew
// (another folder, F5, compaction), or this program removed rows of the
// object tables (a house, an entrance, a device). Every such window listens
// here and closes when what it shows is no longer where it stood; no road
// needs to remember to close it.

#include <QObject>
#include <QSqlDatabase>

class Dataset;
struct sqlite3;

class DataGround : public QObject {
    Q_OBJECT
  public:
    explicit DataGround(QObject* parent = nullptr);
    ~DataGround() override;

    // Moves with every open, close and new reading of the file.
    quint64 Reading() const { return reading_; }
    // id_net of the object current in the list, 0 while the list is closed
    // or empty.
    qint64 CurrentObject() const;

    // The object list whose current row is followed.
    void FollowObjectList(Dataset* objects);
    // The file is about to be closed or read anew: said before, while what
    // the windows show can still be read.
    void FileChanging();
    // The connection just opened: removals of object rows on it are told
    // (until FileChanging).
    void WatchRemovals(const QSqlDatabase& db);

    // While one lives (the file opened or read anew), the object list
    // opening with the file and set back on its object is part of that
    // change, told once by FileChanging, and not told again.
    class FileReading {
      public:
        explicit FileReading(DataGround& ground);
        ~FileReading();
        FileReading(const FileReading&) = delete;
        FileReading& operator=(const FileReading&) = delete;

      private:
        DataGround& ground_;
    };

  signals:
    void Moved();

  private:
    void objectMayHaveMoved();
    void unwatch();
    void removalsCommitted();
    static void onRowChange(void* self, int op, const char* database, const char* table,
                            long long rowid);
    static int onCommit(void* self);
    static void onRollback(void* self);

    Dataset* objects_ = nullptr;
    qint64 announcedObject_ = 0;
    quint64 reading_ = 0;
    sqlite3* watched_ = nullptr;
    bool removed_ = false;  // in the transaction under way
    int fileReadings_ = 0;  // FileReading scopes open
};
