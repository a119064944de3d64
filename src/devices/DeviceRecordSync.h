#pragma once
// Device records made from the access matrix: one switch record (k_pk) per
// matrix column and one call-panel record (k_bv) per panel, with the defaults
// a new device gets, kept in line with the matrix each time it is saved again.
// This is the only place these records are created. Switch records stay when
// their column leaves the matrix; panel records go, and a gate panel's keys
// with them.
//
// A run is one transaction, the console's record and the object's state
// ("закрыто" at the end) included: a failure, or "No" to the question about
// entrances without apartments, leaves every row as it was.

#include "devices/DeviceChange.h"
#include "foundation/TFDM.h"  // ProgressFn

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace DeviceSyncTexts {
inline const QString kQuestionCaption = QStringLiteral("Вопрос");
inline const QString kMissingApartments =
    QStringLiteral("Не во всех подъездах имеются квартиры! Продолжить создавать БВ?");
inline const QString kSwitchType = QStringLiteral("Торвин");
inline const QString kEntranceWord = QStringLiteral(" дом");
inline const QString kGateWord = QStringLiteral(" калитка ");
}  // namespace DeviceSyncTexts

// ---- defaults of new records, worked out without the database ------------------

// m_vo and m_vb of a new switch: a "1" for each of its entrance doors and the
// object's gates, then "0" up to kolTractPK. Never longer than the 16
// characters the device holds: a longer one keeps kolTractPK characters.
QString NewSwitchCameraMask(int doors, int gates, int kolTractPK);
// ai of a new switch: the object's increment for a hotel entrance, else the
// entrance's first apartment, reduced to its last two digits above 100.
int NewSwitchFirstApartment(bool hotel, int incr, int n1kvr);
// The blato a panel needs whose wired entrances hold at most maxApartments
// apartments: 31 up to 480 apartments, one more for every further 32. Each
// synchronisation raises a panel's blato to it, never lowers it.
int PanelBlato(int maxApartments);

// What a panel's record name is made of.
struct PanelNameParts {
    QString rowName;  // m_bv.n_bv, the matrix row name
    QString nmBv;     // the name given in the matrix, may be empty
    int nNt0 = 0;     // the panel number
    QString house;    // k_dom.house of the row's column; empty when not found
    int nPod = -1;    // entrance number of the column's switch; -1 when not found
};
// k_bv.n_bv: the matrix's own name when it has one; else "БВ", the two-digit
// panel number and, for an entrance panel (a row name with a "."), " дом",
// the house, the entrance number and the door part of the row name; for a
// gate " калитка ".
QString PanelRecordName(const PanelNameParts& parts);

// ---- the synchronisation -----------------------------------------------------

struct DeviceSyncOutcome {
    // Done (also when the object has no matrix columns), Declined at the
    // question about entrances without apartments, or Failed.
    DeviceChange result = DeviceChange::Failed;
    QString error;
};

class DeviceRecordSync {
  public:
    DeviceRecordSync(QSqlDatabase db, qint64 idNet);

    // Run first, inside the transaction: the console screen's load, which
    // creates the console record the object lacks.
    void SetLoadSecurityPost(std::function<void()> load) { loadSecurityPost_ = std::move(load); }
    void SetProgress(ProgressFn progress) { progress_ = std::move(progress); }

    // Switch records, then the panel records, tracts, handset indexes and
    // terminals; the object's state becomes "закрыто". With no matrix
    // columns nothing is made and the state stays.
    DeviceSyncOutcome SyncPkRecords();

  private:
    QSqlDatabase db_;
    qint64 idNet_;
    std::function<void()> loadSecurityPost_;
    ProgressFn progress_;
};

// ---- data-module operation -------------------------------------------------------
// On the current object of FDM->Q_Net, with the console hook of the navigation
// and the progress window's gauge given. A failure is shown ("Ошибка").
// Afterwards the object, its devices, links, entrances and apartments are
// shown again, Q_MNpk on its first switch.
DeviceSyncOutcome SyncPkRecords(const ProgressFn& progress = {});
