#pragma once
// A call panel's record (k_bv) as its editor reads and writes it: the common
// parameters every panel of an object may share, the individual ones (the
// security-call button and the door open codes), the hardware fields and the
// serial number. Every write that changes a value advances kf_pr as an edit
// does; a write that would change nothing is not made.

#include "devices/DeviceChange.h"
#include "foundation/TFDM.h"  // ProgressFn

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

inline constexpr int kOpenCodeCount = 10;
inline constexpr int kOpenCodeLength = 5;
// How devices write "no code" into an open-code field.
inline const QString kNoOpenCode = QStringLiteral("111111");

struct PanelCommonParams {
    int sl = 8;  // sound level 0..15
    int ot = 5;  // door open time 1..16 s
    bool bell = false;
    bool autoKeys = false;  // k_bv.auto
    bool nrcs = false;
    bool dsoc = false;  // as stored: true shows the open codes openly
    bool ph0 = false;
    bool ph1 = false;
    bool scud = false;
    bool farc = false;
    bool operator==(const PanelCommonParams&) const = default;
};

// The security-call button and the door open codes.
struct PanelIndividual {
    bool concierge = false;  // l_kns
    bool console = false;    // l_pok
    qint64 adrpk = 0;        // switch through which the called handset is reached
    int adrcs = -1;          // handset index (p_nom), -1 none
    QStringList openCodes = QStringList(kOpenCodeCount, QString());
    bool operator==(const PanelIndividual&) const = default;
};

struct PanelHardware {
    int kfilt = 0;  // key filter mask 0..255
    int blato = 0;  // 0..255, steps of 0.03 s
    bool lrez = false;
    int rsrv = 0;  // common-key slots 0..255
    bool operator==(const PanelHardware&) const = default;
};

struct CallPanelRecord {
    qint64 idBv = 0;
    qint64 idNet = 0;
    int nNt0 = 0;
    int bvType = 0;  // 0 entrance door, 1 gate
    QString name;
    QString serial;
    int kfPr = 0;
    PanelCommonParams common;
    PanelIndividual individual;  // open codes as stored
    PanelHardware hardware;
    bool Gate() const { return bvType == 1; }
};

bool ReadCallPanel(QSqlDatabase db, qint64 idBv, CallPanelRecord* record, QString* error);
// The object's panels in list order (kind, then network number).
bool ReadObjectPanels(QSqlDatabase db, qint64 idNet, QList<qint64>* panels, QString* error);

// What an open-code cell shows: a stored "111111" is no code, shown empty.
QString OpenCodeShown(const QString& stored);

using PanelWrite = DeviceWrite;

// Writes the common and individual values, adrpk included, when any of them
// differs from the stored ones (open codes compared as stored).
PanelWrite SavePanelValues(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common,
                           const PanelIndividual& individual);
// Writes only the common parameters, when they differ.
PanelWrite SaveCommonParams(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common);
// Writes the four hardware fields, when they differ.
PanelWrite EditHardware(QSqlDatabase db, qint64 idBv, const PanelHardware& hardware);

struct PanelBatch {
    bool ok = false;
    int written = 0;  // panels changed
    QString error;
};

// The common parameters into every panel of the object, or into those of one
// kind. One transaction: a failure leaves every panel as it was.
PanelBatch SaveCommonParamsToPanels(QSqlDatabase db, qint64 idNet, const PanelCommonParams& common,
                                    std::optional<int> bvType, const ProgressFn& progress = {});

// The entrance copy: the values go into the entrance panel idBv and into every
// other entrance panel of the object whose first wired switch (by matrix
// column) sits on the same column. Gate panels are left alone, and so are
// panels without a wired switch; a source without one is saved by itself.
// One transaction.
PanelBatch CopyToEntrancePanels(QSqlDatabase db, qint64 idBv, const PanelCommonParams& common,
                                const PanelIndividual& individual, const ProgressFn& progress = {});
