#pragma once
// The parameters the switch editor shows and saves for a switch: the values of
// its parameter set (t_ke, found by value or appended, see ParamSet.h), the
// hardware values behind the set, the 4-bit reserve rsrv and the video
// cut-off for debtors n_vid. Saves go to one switch, every switch of its house
// or every switch of the object; each runs in one transaction.

#include "devices/ParamSet.h"
#include "devices/SerialEntry.h"
#include "foundation/TFDM.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// The hardware dialog's handset blocking times, in minutes.
constexpr int kMostBlockingMinutes = 255;

// Everything the editor's parameter controls and its hardware dialog hold.
struct SwitchParams {
    QString name;  // of the set shown
    // The set's values as stored, but for t_ed and t_de: the dialog shows the
    // handset blocking times in minutes (edt, det), stored in units of 5.
    ParamSetValues set;
    int edt = 5;
    int det = 5;
    int rsrv = 0;  // the switch's own 4-bit reserve value

    // The 17 values a set is looked up by, blocking times rounded to units of 5.
    ParamSetValues SetValues() const;
    // The set's values and name; the reserve value stays as it is. A stored
    // blocking time beyond the dialog's minutes shows as the nearer end.
    void TakeSet(const ParamSetValues& v, const QString& setName);
};

// The video cut-off for debtors: off, or the tract (1..15) of the video input.
struct SwitchVideo {
    static constexpr int kFirstTract = 1;
    static constexpr int kLastTract = 15;

    bool on = false;
    int tract = kFirstTract;

    // What the editor shows for a stored n_vid: empty or negative is off,
    // 0 and above is on, held within 1..15.
    static SwitchVideo FromStored(const QVariant& nVid);
    // n_vid to store: the tract, or -1 when off.
    int Stored() const { return on ? tract : -1; }
};

// One switch as the editor loads it.
struct LoadedSwitch {
    bool ok = false;
    QString error;
    qint64 idPk = 0;
    qint64 idKe = 0;  // the set shown
    SwitchParams params;
    QString serial;
    SwitchVideo video;
    qint64 idMvv = 0;
    qint64 idMot = 0;
    // Where the switch is, for the editor's heading.
    QString house;
    int nPod = 0;
    int nNet = 0;
};

// The switch's own set; a switch without one (or whose set is gone) shows the
// recommended set, which is appended when missing.
LoadedSwitch LoadSwitch(QSqlDatabase db, qint64 idPk);

// A set's values as the editor shows them (false when there is no such set).
bool ReadParamSet(QSqlDatabase db, qint64 idKe, ParamSetValues* v, QString* name,
                  QString* error = nullptr);

struct ParamsSaved {
    bool ok = false;
    QString error;
    qint64 idKe = 0;
    bool existed = false;  // an equal set was there already
    QString setName;
    int switchesMarked = 0;  // switches whose kf_pr moved
};

// One switch: its set (a new one named object + house + " под." + entrance),
// the reserve value, and the video setting (SaveVideo); kf_pr advances as an
// edit does.
ParamsSaved SaveForSwitch(QSqlDatabase db, qint64 idPk, const SwitchParams& p,
                          const SwitchVideo& video);
// n_vid of one switch: -1 (and kf_pr advanced) whenever the video is off;
// the tract (and kf_pr advanced) when it is on and n_vid is empty or differs.
bool SaveVideo(QSqlDatabase db, qint64 idPk, const SwitchVideo& video, QString* error);
// Every switch of the house (a new set is named after the house): the set,
// and n_vid as the video setting says (-1 when it is off).
ParamsSaved SaveForHouse(QSqlDatabase db, qint64 idDom, const SwitchParams& p,
                         const SwitchVideo& video, const ProgressFn& progress = {});
// Every switch of the object (a new set is named after the object): the set,
// and n_vid only when the video setting is on.
ParamsSaved SaveForObject(QSqlDatabase db, qint64 idNet, const SwitchParams& p,
                          const SwitchVideo& video, const ProgressFn& progress = {});
// House and object saves advance kf_pr of each switch whose set or n_vid
// they change.

// ---- data-module operations --------------------------------------------------
// The editor loads the current switch of FDM->Q_MNpk; it saves the switch it
// took then (idPk), its house (idDom) or its object (idNet), never the list's
// row at the save. Each reopens what shows the result and leaves Q_ke on the
// set saved or shown.

qint64 CurrentSwitchId();
LoadedSwitch LoadCurrentSwitch();
// Each writes only while every row of held (what the editor shows) is
// there; one gone is told and gives a result that is not ok and has no
// error.
ParamsSaved SaveShownSwitch(qint64 idPk, const SwitchParams& p, const SwitchVideo& video,
                            const HeldRows& held = HeldRows());
// Ask "Сохранить для всего дома?" / "Сохранить для всего объекта?" under
// named (the house or object saved for) first; a No gives a result that is
// not ok and has no error.
ParamsSaved SaveShownHouse(qint64 idDom, const QString& named, const SwitchParams& p,
                           const SwitchVideo& video, const ProgressFn& progress = {},
                           const HeldRows& held = HeldRows());
ParamsSaved SaveShownObject(qint64 idNet, const QString& named, const SwitchParams& p,
                            const SwitchVideo& video, const ProgressFn& progress = {},
                            const HeldRows& held = HeldRows());
// The serial-number field of switch idPk (of object idNet) left with typed
// (SerialEntry.h).
SerialExitResult LeaveSwitchSerial(qint64 idPk, qint64 idNet, const QString& typed);
// Makes the switch current in Q_MNpk; false when it is not among its rows.
bool GoToSwitch(qint64 idPk);
// The current row of Q_ke into p (the recommended set is appended first when
// Q_ke is empty). Nothing is stored.
bool ApplyCurrentParamSet(SwitchParams* p);
