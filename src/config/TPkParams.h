#pragma once
// Section 0 of a switch file: the switch's common parameters (eight timeouts,
// two 16-camera masks, the highest polled handset, the first-apartment
// increment, four ADC thresholds and the pause before the first bus capture),
// held in one record of fixed-width bit texts that the write screen, the read
// screen and the editor share.
//
// Payload, from its first byte: t_cm (2 bytes, low first), t_cl, t_dl, t_vc,
// m_vo and m_vb (2 bytes each, camera 1 in the lowest bit), n_xl (2 bytes),
// p_fc, t_st, acp1..acp4, t_dx, t_mo, t_bo, t_wt, then Tail: 168 bits and a
// length word of 22 when built from the database.

#include "config/ConfigRecords.h"

#include <QString>
#include <QStringList>

#include <optional>

// Every field but Tail is a bit text of its fixed width, most significant bit
// first; the masks are held camera 1 first. A field a short section could not
// fill holds blanks, which read as 0.
struct TPkParams {
    QString t_cm;  // 16 bits
    QString t_cl;
    QString t_dl;
    QString t_vc;
    QString m_vo;  // 16 bits
    QString m_vb;  // 16 bits
    QString n_xl;  // 16 bits
    QString p_fc;
    QString t_st;
    QString acp1;
    QString acp2;
    QString acp3;
    QString acp4;
    QString t_dx;
    QString t_mo;
    QString t_bo;
    QString t_wt;
    QString Tail;  // payload bits after the known fields, kept for writing back
};

constexpr int kPkParamsFixedBits = 168;

// A value taken as an unsigned number of the field's width: its low bits.
QString PkParamField(qint64 value, int width);

// Every fixed-width field blank, Tail empty.
void InitPkParams(TPkParams& p);
// The record of a switch from its parameter set and its own row. A value
// wider than its field keeps its low bits and is told in logs when given.
void PkParamsFromDB(TPkParams& p, const PkParamSetRow& set, const SwitchRow& sw,
                    ConfigLogs* logs = nullptr);
// The payload text: Tail, then the fields from t_wt back to t_cm.
QString PkParamsToBits(const TPkParams& p);
// Decodes a section text (payload + version field); fields that do not fit
// keep their blanks, and bits after the known fields go to Tail.
void PkParamsFromBits(const QString& sectionText, TPkParams& p);

// The write screen's section 0. No parameter set, or one with empty values,
// is told to the operator and gives false with an empty section: the switch
// gets no file.
bool EncodePkSection0(const std::optional<PkParamSetRow>& set, const SwitchRow& sw,
                      QString& section, ConfigLogs& logs);
// The read screen's lines for a section 0 text.
QStringList DecodePkSection0(const QString& sectionText);
// The editor's section 0 from a record it filled from its controls.
QString EncodePkParams(const TPkParams& p, QStringList* log);

// ---- The editor's switch tab -----------------------------------------------------

// What the switch tab shows of section 0: its spin edits, the two camera
// lists (16 items, item 0 first, '1' ticked) and the hidden Tail (MKm0).
struct PkParamValues {
    qint64 TCM = 0, TCL = 0, TDL = 0, TVC = 0, MxL = 0, FC = 0, EST = 0;
    qint64 ACP1 = 0, ACP2 = 0, ACP3 = 0, ACP4 = 0, TDX = 0, MTO = 0, BTO = 0, WAIT = 0;
    QString ChMskPo;  // m_vo
    QString ChMskBv;  // m_vb
    QString MKm0;
};

// The spin edits of the tab with the width of their field, in record order.
struct PkParamSpin {
    const char* name;
    int width;
    qint64 PkParamValues::*value;
};
const QList<PkParamSpin>& PkParamSpins();

// A field a short section did not hold shows 0, a camera list unticked.
PkParamValues DecodePkParams(const QString& sectionText);
// A value wider than its field keeps its low bits.
QString EncodePkParams(const PkParamValues& values, QStringList* log);
