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

// A stored value its file field cannot hold as it is, and what the field got
// instead; the values the field holds as they are run from lowest to highest.
struct NarrowedValue {
    QString device;  // ConfigLogs::device of the file
    QString field;   // the column, with the row it came from where a file has many
    qint64 stored = 0;
    qint64 written = 0;
    qint64 lowest = 0;
    qint64 highest = 0;
};

// A stored text its file field cannot hold as it is: longer than the field,
// or holding characters the file's encoding cannot carry.
struct NarrowedText {
    QString device;             // ConfigLogs::device of the file
    QString field;              // the column
    QString stored;             // the text as chosen for the file (trimmed, or its default)
    QString written;            // what the field holds, read back: cut, '?' for each stand-in
    qsizetype storedChars = 0;  // characters of stored
    QList<char32_t> standIns;   // the characters written as standIn, each once
    QChar standIn = u'?';       // '0' in a mask
    bool keptLast = false;      // a mask keeps its last characters, a text its first
};

// The logs of a building run: the write screen's detailed log (Memo1), its
// result log (Memo2, also where WrapSection reports sizes) and the hidden
// summary collecting one result per device (Memo3).
struct ConfigLogs {
    QStringList detail;
    QStringList result;
    QStringList summary;
    // The device the file is for, as the write screen names it ("КМ05"):
    // lines about one of its values or keys start with it. Empty outside a pass.
    QString device;
    // Every value told in result as written other than stored, in order.
    QList<NarrowedValue> narrowed;
    // Every text told in result as written other than stored, in order.
    QList<NarrowedText> narrowedTexts;
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
    qint64 vKey = 0;    // main key slots every apartment with keys gets on a call panel
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

// One note of a melody as the encoders take it (devices/Melody.h has the
// editor's own MelodyNote; the two must not share a name).
struct MelodyNoteRow {
    qint64 leng = 0;  // duration
    qint64 gerc = 0;  // pitch; 0 is a pause
    qint64 noot = 0;  // console melodies: the cell of the console's note picker
};

struct MelodyRow {
    qint64 idMel = 0;
    QString name;
    QList<MelodyNoteRow> notes;  // by nom
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

    bool IsConsoleHandset() const { return stKvr.trimmed() == QStringLiteral("СПО"); }
};

// Call panels take the network addresses from 64 on; the write screen numbers
// a panel and its file by its address less 64.
constexpr int kFirstPanelAddress = 64;

// A call panel (k_bv) with what its file is built from.
struct PanelRow {
    qint64 idBv = 0;
    qint64 idNet = 0;
    int nNet = 0;
    int nNt0 = 0;    // its number: the network address is 64 + n_nt0
    int bvType = 0;  // 1: a gate panel, whose codes carry house prefixes
    QString nBv;     // its name
    bool farc = false;
    // The main parameters of section 0, as stored.
    qint64 sl = 0;  // sound level
    qint64 ot = 0;  // door-open time in seconds
    bool bell = false;
    bool autoKeys = false;  // auto: keys may be added at the panel; spare slots are written
    bool nrcs = false;
    bool dsoc = false;
    bool ph0 = false;
    bool ph1 = false;
    bool scud = false;
    bool lrez = false;  // reserve bit, also written into section 2
    qint64 kfilt = 0;
    qint64 blato = 0;
    qint64 adrpk = 0;   // id_pk of the switch whose entrance holds the console's handset
    qint64 adrcs = -1;  // that handset's place in its entrance, from 1; below 1 none
    std::array<QString, 10> ocode;  // door-open codes as typed
    qint64 rsrv = 0;                // reserve byte of the common-key section
};

// An apartment or handset row of an entrance a call panel serves, in p_nom
// order, with its key quota and the keys registered for it.
struct PanelApartmentRow {
    CallCodeApartmentRow call;  // what the call-code pass reads of it
    qint64 xKey = 0;            // keys planned
    qint64 yKey = 0;            // keys registered
    QStringList keys;           // bv_key of its k_key rows, in the order they were entered
};

// An entrance wired to a call panel (plus 1 or 3), with its switch.
struct PanelEntranceRow {
    qint64 idPod = 0;
    qint64 idPk = 0;
    int nNet = 0;    // network number of the switch
    int nPk = 0;     // the switch's matrix column
    int plus = 1;    // 1 wired; 3 wired, but the panel keeps no apartment keys for it
    qint64 pFc = 0;  // the switch's first terminal
    qint64 ah = 0;
    qint64 dKey = 0;  // extra key slots of the entrance
    qint64 oKey = 0;  // common-key slots of the entrance
    QList<PanelApartmentRow> apartments;
    QStringList commonKeys;  // distinct bv_key of the entrance's common keys
};

// An entrance linked to a call panel by the other kind of link (plus 2): the
// panel opens for every key of it, apartment and common alike.
struct PanelLinkedEntranceRow {
    qint64 idPod = 0;
    qint64 oKey = 0;
    QStringList keys;  // distinct bv_key
};

// The security-post console (k_po): its identity and the columns of its
// section 0. nullColumns names the numeric columns that hold NULL.
struct ConsoleRow {
    qint64 idPo = 0;
    qint64 idNet = 0;
    int nNet = 0;
    int kfPr = 0;
    bool lrez = false;  // the reserve bit of section 2
    qint64 idMel0 = 0;  // visitor and subscriber melodies (t_mel)
    qint64 idMel1 = 0;
    qint64 klvl = 0, clvl = 0, mtdy = 0, mtnt = 0;
    QString mcam;  // '0'/'1' per camera item, item 0 first
    qint64 ncam = 0, scam = 0, busy = 0, blato = 0, npce = 0;
    qint64 cbto = 0, rmto = 0, dpto = 0, exec = 0, clha = 0, cldp = 0, talk = 0;
    qint64 frmi = 0, frmc = 0;
    qint64 adccl = 0, adccm = 0, adcch = 0, adchl = 0, adchm = 0, adchh = 0;
    QString sobj1, sobj2, sus1, sus2, sus3, sus4;
    QStringList nullColumns;
};

// The numeric section-0 columns of k_po, in the order of the section.
struct ConsoleColumn {
    const char* name;
    qint64 ConsoleRow::*member;
};
inline constexpr ConsoleColumn kConsoleNumericColumns[] = {
    {"klvl", &ConsoleRow::klvl},   {"clvl", &ConsoleRow::clvl},   {"mtdy", &ConsoleRow::mtdy},
    {"mtnt", &ConsoleRow::mtnt},   {"ncam", &ConsoleRow::ncam},   {"scam", &ConsoleRow::scam},
    {"busy", &ConsoleRow::busy},   {"blato", &ConsoleRow::blato}, {"npce", &ConsoleRow::npce},
    {"cbto", &ConsoleRow::cbto},   {"rmto", &ConsoleRow::rmto},   {"dpto", &ConsoleRow::dpto},
    {"exec", &ConsoleRow::exec},   {"clha", &ConsoleRow::clha},   {"cldp", &ConsoleRow::cldp},
    {"talk", &ConsoleRow::talk},   {"frmi", &ConsoleRow::frmi},   {"frmc", &ConsoleRow::frmc},
    {"adccl", &ConsoleRow::adccl}, {"adccm", &ConsoleRow::adccm}, {"adcch", &ConsoleRow::adcch},
    {"adchl", &ConsoleRow::adchl}, {"adchm", &ConsoleRow::adchm}, {"adchh", &ConsoleRow::adchh},
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

// Everything a call-panel file is built from.
struct PanelFileInput {
    int sepDevice = 63;
    ConfigObjectRow object;
    PanelRow device;
    QList<PanelEntranceRow> entrances;              // by switch network number
    int prefixWidth = 0;                            // CallCodePrefixWidth of the object's rows
    QList<PanelLinkedEntranceRow> linkedEntrances;  // by switch network number
    QStringList gateKeys;                           // a gate panel's own keys, by label
    bool reserveSlots = true;  // the write screen's "Резервировать слоты для ключей"
};

// A switch of the object as the console file sees it: its entrance's rows
// (apartments and handsets, by p_nom) and the call panels wired to it.
struct ConsoleSwitchRow {
    qint64 idPk = 0;
    int nNet = 0;
    QList<qint64> panels;  // network numbers of the panels wired with plus 1 or 3
    QList<CallCodeApartmentRow> apartments;
};

// Everything the console file is built from.
struct ConsoleFileInput {
    int sepDevice = 63;
    ConfigObjectRow object;
    std::optional<ConsoleRow> console;            // none: the object has no console row
    std::optional<MelodyRow> visitorMelody;       // none: id_mel0 names no console melody
    std::optional<MelodyRow> subscriberMelody;    // none: id_mel1 names no console melody
    QList<ConsoleSwitchRow> switches;             // by network number
    QList<CallCodeApartmentRow> objectCallCodes;  // every row of the object, for the prefix width
};
