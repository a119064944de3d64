#pragma once
// The data module: the one database connection, the named datasets every
// form shares, the refresh groups, the key counters and the call-code count.

#include <QLockFile>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

#include "foundation/DataGround.h"
#include "foundation/DatabaseShape.h"
#include "foundation/KeyCounters.h"
#include "platform/Dataset.h"
#include "platform/FileUseLock.h"

// Why a database file does not open, as the operator reads it.
namespace DbFileTexts {
QString Missing(const QString& file);
QString Unreadable(const QString& file, const QString& why);
QString NotADatabase(const QString& file);
QString Empty(const QString& file);
QString ReadOnlyFile(const QString& file);
QString ReadOnlyFolder(const QString& folder);
// The file is older than the program's, and its upgrade cannot be written.
QString UpgradeInReadOnlyFolder(const QString& file);
QString UpgradeOfReadOnlyFile(const QString& file);
QString NewerFormat(const QString& file);
// Not the program's: a table, a column or a row key it reads is missing.
QString NotProgramsDatabase(const QString& file);
// A count it holds (an object's entrances, an apartment's keys) is beyond
// what the program allows.
QString CountsBeyondLimits(const QString& file);
// The upgrade or a first read met what the program's files never hold.
QString NotPrepared(const QString& file);
}  // namespace DbFileTexts

// The progress window's gauge: value in 0..maximum; visible false hides it.
using ProgressFn = std::function<void(int value, int maximum, bool visible)>;

class TFDM : public QObject {
  public:
    static constexpr const char* kConnectionName = "ConnectionDB";
    static constexpr const char* kCopyConnectionName = "ConnectCopy";

    // The first instance becomes the program-wide FDM.
    explicit TFDM(QObject* parent = nullptr);
    ~TFDM() override;

    QSqlDatabase ConnectionDB() const;
    // The second connection, used only by CRab; its user sets the file.
    QSqlDatabase ConnectCopy() const;
    bool Connected() const;
    // Opens the database file (which must exist and be a database of the
    // program's shape), takes the lock file beside it, upgrades the schema and
    // reads the global parameters and the object list. On failure the file is
    // as it was, the connection stays closed and error says why in Russian
    // (DbFileTexts where the cause is the file's, the engine's reason else).
    bool Connect(const QString& dbFilePath, QString* error);
    void Disconnect();
    QString DatabasePath() const { return dbPath_; }
    // True while this program holds the lock file of the open database.
    bool HoldsLock() const { return lock_ && lock_->isLocked(); }
    // The last failure of a refresh operation.
    QString LastError() const { return lastError_; }
    // Where every window that writes object data learns that what it shows
    // may be gone: another object, another file or reading, rows removed.
    DataGround& Ground() { return ground_; }

    // The object's matrix table is opened inside OpenAllTables and the schema
    // upgrade by whoever owns it.
    using OpenMatrTableFn = std::function<bool(QString* error)>;
    void SetOpenMatrTableHook(OpenMatrTableFn hook) { openMatrTableHook_ = std::move(hook); }
    // Opens the matrix table again, for the object Q_Net is on now.
    bool ReopenMatrTable() { return !openMatrTableHook_ || openMatrTableHook_(&lastError_); }

    // --- refresh groups ----------------------------------------------------
    bool ReopenMelodies();
    bool ReopenCallBlocks();
    bool ReopenSwitches();
    bool ReopenApartments();
    bool ReopenKeys();
    // Reads the datasets now, each as its first reader would. False with
    // LastError() when one cannot be read: for a reader that must tell a
    // failed read from a list without rows.
    bool EnsureRead(const QList<Dataset*>& datasets);
    // Reopens the connection and the main datasets, each on its record.
    bool OpenAllTables(const ProgressFn& progress = {});

    // Rows of the house holding the call code that are not handsets, in the
    // current object; -1 when the query fails.
    int CountCallCodeInHouse(const QString& code, int houseId);

    // --- key counters, run by the key datasets after a post or delete -------
    void QKeysCount();
    void Q_keyAfterPost();
    void Q_key1AfterPost();
    void QOKeysCount();
    // Why the last write of an owner's key counters failed, cleared as it is
    // taken; empty when none failed. A key is written together with its
    // owner's counters, so its writer takes this before it commits.
    QString TakeCounterFailure();

    // --- datasets ----------------------------------------------------------
    Dataset* Q_Net;
    Dataset* Q_Pod;
    Dataset* Q_MNpk;
    Dataset* Q_Matr;
    Dataset* Q_mpk;
    Dataset* Q_mbv;
    Dataset* Q_Tmp;
    Dataset* Q_Dom;
    Dataset* Q_DPd;
    Dataset* Q_pk;
    Dataset* Q_bv;
    Dataset* Q_MNbv;
    Dataset* QRab;
    Dataset* Q_Bpk;
    Dataset* Q_Kbv;
    Dataset* Q_ke;
    Dataset* Q_Mel;
    Dataset* Q_Beep;
    Dataset* Global;
    Dataset* Q_Diap;
    Dataset* Q_bvk;
    Dataset* Q_bvp;
    Dataset* Q_Kvr;
    Dataset* Q_bvp0;
    Dataset* Q_bvk1;
    Dataset* Q_MelP;
    Dataset* Q_Bepo;
    Dataset* Q_PO;
    Dataset* Q_Kvp;
    Dataset* Q_kv;
    Dataset* Q_KvN;
    Dataset* Q_Bpo;
    Dataset* Q_key;
    Dataset* Q_Pack;
    Dataset* Q_pkrd;
    Dataset* Q_pkwt;
    Dataset* QKeys;
    Dataset* QForKey;
    Dataset* QPodKey;
    Dataset* QOKeys;
    Dataset* QSect;
    Dataset* SPK_All;
    Dataset* HavKeys;
    Dataset* Q_Kvr1;
    Dataset* QKvv;
    Dataset* Q_KvD;
    Dataset* Q_Kvpk;
    Dataset* SPO_All;
    Dataset* Q_Kvpt;
    Dataset* QKalKey;
    Dataset* QKKeys;
    Dataset* Q_JKey;
    Dataset* QAKeys;
    Dataset* QWOKKey;
    Dataset* Q_bv_key;
    Dataset* Q_Ppl;
    Dataset* Q_Flg;
    Dataset* CRab;
    Dataset* Q_Bkk;
    Dataset* Q_Kkk;
    Dataset* Q_kvv;
    Dataset* QNet;
    Dataset* SBV_ALL;
    Dataset* QwKey;
    Dataset* Q_kv_pk;
    Dataset* Q_pk_po;
    Dataset* QwBpo;
    Dataset* QwKvr;
    Dataset* Q_key1;

    // Every dataset above, in declaration order.
    const QList<Dataset*>& AllDatasets() const { return all_; }

  private:
    QString counterFailure_;
    Dataset* make(const char* name, const QString& connection = kConnectionName);
    void defineDatasets();
    void readOnDemand();
    void wireKeyCounters();
    bool openDatabase(QString* error);
    bool prepareForWork(QString* why);
    bool passes(const DatabaseFileCheck& check, const QString& refusal, QString* why) const;
    bool isWhole(QString* why);
    bool hasProgramShape(QString* why);
    bool countsWithinLimits(QString* why);
    bool readFirstLists(QString* why);
    bool openUpgradeDatasets(QString* error);
    bool openListed(const QList<Dataset*>& list, bool onlyClosed);
    bool reopenListed(const QList<Dataset*>& list);
    bool ensureIndexes(QString* error);
    bool failWith(const Dataset* ds);
    void showAllFlags();
    bool reopenFlagList();
    void recountApartment(Dataset* apartment, KeyCounters::Quota rule);

    QList<Dataset*> all_;
    QString dbPath_;
    std::unique_ptr<QLockFile> lock_;
    FileUseLock use_;
    // The open file passed its checks, and every reopen since read it.
    bool whole_ = false;
    OpenMatrTableFn openMatrTableHook_;
    QString lastError_;
    DataGround ground_;
};

extern TFDM* FDM;
