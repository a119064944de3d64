#pragma once
// Plain records the configuration-file encoders take and the repository fills
// from the database, and the three logs an encoder writes into. Encoders never
// touch the database themselves: the write screen reads one device's records
// through ConfigRepository and hands them over, and tests build them directly.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The logs of a building run: the write screen's detailed log (Memo1), its
// result log (Memo2, also where WrapSection reports sizes) and the hidden
// summary collecting one result per device (Memo3).
struct ConfigLogs {
    QStringList detail;
    QStringList result;
    QStringList summary;
};

// The current object (k_net).
struct ConfigObjectRow {
    qint64 idNet = 0;
    qint64 idNom = 0;
    QString flbv;       // 32 characters '0'/'1': call-panel flag selection and defaults
    QString flpo;       // the same for the console
    bool farc = false;  // the console's call codes are packed
    int incr = 0;       // increment of hotel numbering, 0 or 1
    bool lPok = false;  // the object has a security-post console
};

// A switch parameter set (t_ke). nullColumns names the numeric columns that
// hold NULL, which no field can be built from.
struct PkParamSetRow {
    qint64 idKe = 0;
    QString name;
    qint64 t_cm = 0, t_cl = 0, t_dl = 0, t_vc = 0, t_st = 0;
    qint64 acp1 = 0, acp2 = 0, acp3 = 0, acp4 = 0;
    qint64 t_dx = 0, t_mo = 0, t_bo = 0, t_wt = 0;
    qint64 t_po = 0, edge = 0, t_ed = 0, t_de = 0;
    QStringList nullColumns;
};

// A switch (k_pk) with what the write screen reads of it.
struct SwitchRow {
    qint64 idPk = 0;
    qint64 idPod = 0;
    int nNet = 0;
    QString typeK;  // blank: the switch is not set up and gets no file
    qint64 idKe = 0;
    qint64 idMvv = 0;  // call melody
    qint64 idMot = 0;  // ring-back melody
    QString mVo;       // camera masks, camera 1 first
    QString mVb;
    qint64 nXl = 0;
    qint64 pFc = 0;
    std::optional<qint64> rsrv;  // NULL leaves the reserve nibble out
    std::optional<qint64> nVid;  // NULL: no video section
    int kfPr = 0;
    QStringList nullColumns;  // n_xl or p_fc when NULL
};

// One apartment or handset row of a switch's entrance, in p_nom order.
struct SwitchApartmentRow {
    bool mObr = false;  // polled for callback
    bool mBlk = false;  // blocked
    bool lVid = false;  // video view
};

struct MelodyNote {
    qint64 leng = 0;  // duration
    qint64 gerc = 0;  // pitch; 0 is a pause
};

struct MelodyRow {
    qint64 idMel = 0;
    QString name;
    QList<MelodyNote> notes;  // by nom
};

// One row of the apartment list of a call panel or the console, in the
// device's apartment order, with what the call-code pass reads of it.
struct CallCodeApartmentRow {
    QString pKvr;   // call code, untrimmed
    QString stKvr;  // "СПО" marks a console handset row
    QString kodD;   // the house prefix of its entrance
    // Call-panel flags 1..16 at index 0..15: call, l_otz, f_m03 .. f_m16.
    std::array<bool, 16> panelFlags{};
    // Console flags 1..16 at index 0..15: l_pnp, f_p02 .. f_p16.
    std::array<bool, 16> consoleFlags{};
    qint64 mtdy = -1;  // day and night times; negative = none
    qint64 mtnt = -1;
};

// A call panel (k_bv) with what its identification and call codes need.
struct PanelRow {
    qint64 idBv = 0;
    qint64 idNet = 0;
    int nNet = 0;
    int bvType = 0;  // 1: a gate panel, whose codes carry house prefixes
    QString nBv;     // its name
    bool farc = false;
};

// The security-post console (k_po).
struct ConsoleRow {
    qint64 idPo = 0;
    qint64 idNet = 0;
    int nNet = 0;
};

// Everything a switch file is built from.
struct SwitchFileInput {
    int sepDevice = 63;
    ConfigObjectRow object;
    SwitchRow device;
    std::optional<PkParamSetRow> paramSet;  // none: the set of id_ke is missing
    QList<QList<int>> tractPanels;          // network numbers of the panels of tracts 1..15
    QList<SwitchApartmentRow> apartments;
    std::optional<MelodyRow> callMelody;      // none: id_mvv names no switch melody
    std::optional<MelodyRow> ringBackMelody;  // none: id_mot names no switch melody
};
