#include "StoredColumns.h"

bool IsText(ColumnRole role) {
    return role == ColumnRole::Name || role == ColumnRole::Slide || role == ColumnRole::Code ||
           role == ColumnRole::Text;
}

QString StoredColumn::Name() const {
    return QLatin1String(table) + QLatin1Char('.') + QLatin1String(column);
}

// The table's helpers keep a namespace of their own: the test units of the
// folder share compilation units.
namespace StoredColumnsUnit {
namespace {

using namespace Reads;

constexpr qint64 kInt32 = 2147483647;
constexpr unsigned kObjectScreen = Screen(1);
constexpr unsigned kMatrix = Screen(2);
constexpr unsigned kEntrances = Screen(3);
constexpr unsigned kSwitches = Screen(4);
constexpr unsigned kPanels = Screen(5);
constexpr unsigned kApartments = Screen(6);
constexpr unsigned kConsole = Screen(7);
constexpr unsigned kKeys = Screen(9);
constexpr unsigned kWrite = Screen(10);
constexpr unsigned kNetwork = Screen(12);
constexpr unsigned kEditor = Screen(13);
constexpr unsigned kResidents = Screen(14);

StoredColumn key(const char* t, const char* c, unsigned reads) {
    return {t, c, ColumnRole::Key, 0, kInt32, reads};
}
StoredColumn flag(const char* t, const char* c, unsigned reads) {
    return {t, c, ColumnRole::Flag, 0, 1, reads};
}
StoredColumn count(const char* t, const char* c, qint64 most, unsigned reads) {
    return {t, c, ColumnRole::Count, 0, most, reads};
}
StoredColumn device(const char* t, const char* c, int width, qint64 most, unsigned reads) {
    return {t, c, ColumnRole::Device, width, most, reads};
}
StoredColumn field(const char* t, const char* c, int width, unsigned reads) {
    return device(t, c, width, (qint64(1) << width) - 1, reads);
}
StoredColumn other(const char* t, const char* c, qint64 most, unsigned reads) {
    return {t, c, ColumnRole::Other, 0, most, reads};
}

// A text column is swept on the windows that read it: those that show it or
// run a statement that names it (StoredColumnReaders checks that none is
// left out).
StoredColumn name(const char* t, const char* c, unsigned windows, unsigned files = 0) {
    return {t, c, ColumnRole::Name, 0, 0, windows | files};
}
StoredColumn slide(const char* t, const char* c) {
    return {t, c, ColumnRole::Slide, 16, 0, kObjectScreen | kConsole | kConsoleFile};
}
StoredColumn code(const char* t, const char* c, int characters, unsigned windows,
                  unsigned files) {
    return {t, c, ColumnRole::Code, characters, 0, windows | files};
}
StoredColumn text(const char* t, const char* c, unsigned windows, unsigned files = 0) {
    return {t, c, ColumnRole::Text, 0, 0, windows | files};
}

// Windows that read many of the text columns.
constexpr unsigned kObjectAndEntranceSwitch = kObjectScreen | kEntranceSwitch;
constexpr unsigned kPanelSettings = kObjectAndEntranceSwitch | kPanelEditor;
constexpr unsigned kEditors =
    kSwitchEditor | kMelodyForm | kEntranceSwitch | kPanelEditor | kApartmentEditor;
constexpr unsigned kResidentWindows =
    kObjectScreen | kApartments | kKeys | kResidents | kEditors | kGlobalForm;

// The text columns, in the schema's order.
QList<StoredColumn> textColumns() {
    QList<StoredColumn> t = {
        // Object.
        name("k_net", "ident",
             kObjectScreen | kMatrix | kEntrances | kSwitches | kPanels | kConsole | kResidents |
                 kEditors,
             kAllFiles),
        text("k_net", "d_beg", kObjectAndEntranceSwitch),
        text("k_net", "d_net", kObjectAndEntranceSwitch),
        name("k_net", "adres", kObjectAndEntranceSwitch | kEntrances | kSwitches | kPanels),
        text("k_net", "st_net", kObjectAndEntranceSwitch),
        code("k_net", "p_kvr", 5, kObjectAndEntranceSwitch | kConsole,
             kPanelFiles | kConsoleFile),
        code("k_net", "flbv", 32, kObjectAndEntranceSwitch, kPanelFiles),
        code("k_net", "flpo", 32, kObjectAndEntranceSwitch, kConsoleFile),
        // House.
        name("k_dom", "house",
             kMatrix | kEntrances | kSwitches | kPanels | kWrite | kEditor | kResidentWindows,
             kAllFiles),
        code("k_dom", "kod_d", 5,
             kObjectScreen | kMatrix | kEntrances | kApartments | kKeys | kEditor | kResidents |
                 kEditors,
             kAllFiles),
        text("k_dom", "st_dom", kMatrix | kApartments | kKeys | kResidents | kPanelSettings),
        // Entrance.
        name("k_pod", "nm_pod",
             kEntrances | kSwitches | kPanels | kWrite | kResidentWindows, kAllFiles),
        // Apartment or handset, and its resident.
        name("k_kvr", "n_kvr", kResidentWindows | kWrite, kAllFiles),
        code("k_kvr", "p_kvr", 8,
             kApartments | kKeys | kResidents | kPanelSettings | kApartmentEditor, kAllFiles),
        text("k_kvr", "st_kvr", kResidentWindows, kAllFiles),
        name("k_kvr", "Fam", kResidentWindows | kWrite),
        name("k_kvr", "Nam", kResidentWindows | kWrite),
        name("k_kvr", "Och", kResidentWindows | kWrite),
        // Key.
        code("k_key", "un_key", 16, kObjectAndEntranceSwitch | kKeys, kPanelFiles),
        code("k_key", "bv_key", 6, kObjectAndEntranceSwitch | kKeys, kPanelFiles),
        name("k_key", "s_met", kObjectAndEntranceSwitch | kKeys | kWrite),
        text("k_key", "status", kObjectAndEntranceSwitch | kKeys | kWrite),
        // Switch.
        code("k_pk", "m_vo", 16, kPanelSettings, kSwitchFiles),
        code("k_pk", "m_vb", 16, kPanelSettings, kSwitchFiles),
        text("k_pk", "sn_pk", kPanelSettings | kSwitches | kSwitchEditor | kMelodyForm),
        text("k_pk", "type_k", kPanelSettings | kSwitches),
        text("k_pk", "conf", kPanelSettings),
        // Call panel.
        name("k_bv", "n_bv",
             kPanelSettings | kSwitches | kPanels | kWrite | kSwitchEditor | kMelodyForm,
             kPanelFiles),
        text("k_bv", "sn_bv", kPanelSettings | kPanels),
    };
    for (const char* c : {"ocode0", "ocode1", "ocode2", "ocode3", "ocode4", "ocode5", "ocode6",
                          "ocode7", "ocode8", "ocode9"})
        t << code("k_bv", c, 5, kPanelSettings, kPanelFiles);
    t << QList<StoredColumn>{
        // Security-post console.
        text("k_po", "sn_po", kObjectScreen | kConsole),
        code("k_po", "mcam", 16, kObjectScreen | kConsole, kConsoleFile),
        slide("k_po", "sobj1"),
        slide("k_po", "sobj2"),
        slide("k_po", "sus1"),
        slide("k_po", "sus2"),
        slide("k_po", "sus3"),
        slide("k_po", "sus4"),
        // The matrix's switch columns and cells.
        code("m_pk", "kod_d", 5, kPanelSettings | kMatrix, kAllFiles),
        name("m_pk", "nm_pod", kPanelSettings | kMatrix, kAllFiles),
        name("m_bv", "n_bv", kPanelSettings | kMatrix | kSwitchEditor, kAllFiles),
        name("m_bv", "nm_bv", kPanelSettings | kMatrix, kAllFiles),
        // Installation parameters: the names of the two kinds of call panel.
        name("t_global", "nmBVp", kGlobalForm),
        name("t_global", "nmBVk", kGlobalForm),
        // Flag names, switch parameter sets, melodies, notes.
        text("t_fl", "tabl", kGlobalForm),
        name("t_fl", "namf", kGlobalForm),
        name("t_ke", "name", kSwitchEditor | kMelodyForm, kSwitchFiles),
        name("t_mel", "name", kConsole | kSwitchEditor | kMelodyForm,
             kSwitchFiles | kConsoleFile),
        text("t_mel", "forr", kConsole),
        name("t_not", "Name", kMelodyForm),
    };
    return t;
}

// The flags of an apartment row: f_m03..f_m16, f_p02..f_p16, f_k03..f_k09.
QList<StoredColumn> apartmentFlags() {
    QList<StoredColumn> flags;
    static const struct {
        const char* names[15];
        unsigned reads;
    } groups[] = {
        {{"f_m03", "f_m04", "f_m05", "f_m06", "f_m07", "f_m08", "f_m09", "f_m10", "f_m11", "f_m12",
          "f_m13", "f_m14", "f_m15", "f_m16"},
         kPanelFiles},
        {{"f_p02", "f_p03", "f_p04", "f_p05", "f_p06", "f_p07", "f_p08", "f_p09", "f_p10", "f_p11",
          "f_p12", "f_p13", "f_p14", "f_p15", "f_p16"},
         kConsoleFile},
        {{"f_k03", "f_k04", "f_k05", "f_k06", "f_k07", "f_k08", "f_k09"}, 0},
    };
    for (const auto& g : groups)
        for (const char* name : g.names)
            if (name) flags << flag("k_kvr", name, g.reads);
    return flags;
}

QList<StoredColumn> makeTable() {
    const unsigned site = kObjectScreen | kMatrix | kEntrances;
    QList<StoredColumn> t = {
        // Object.
        key("k_net", "id_net", kAllFiles),
        field("k_net", "id_nom", 24, kAllFiles | kWrite | kNetwork),
        count("k_net", "v_pod", 255, kAllFiles | site),
        count("k_net", "v_kal", 255, kAllFiles | site),
        flag("k_net", "l_pok", kAllFiles),
        flag("k_net", "l_obv", 0),
        flag("k_net", "l_otz", 0),
        flag("k_net", "l_pnp", 0),
        flag("k_net", "farc", kPanelFiles | kConsoleFile),
        other("k_net", "incr", 1, kAllFiles),
        count("k_net", "v_key", 65535, kPanelFiles | kEntrances | kApartments | kKeys),
        other("k_net", "p_dop", 0, 0),
        count("k_net", "v_dom", 50, site),
        // House.
        key("k_dom", "id_dom", kAllFiles),
        key("k_dom", "id_net", kAllFiles),
        count("k_dom", "v_pod", 99, kAllFiles | site),
        other("k_dom", "v_kvr", 32767, 0),
        other("k_dom", "p_dop", 0, 0),
        other("k_dom", "kvv_t", kInt32, kAllFiles),
        // Entrance.
        key("k_pod", "id_pod", kAllFiles),
        key("k_pod", "id_net", kAllFiles),
        key("k_pod", "id_dom", kAllFiles),
        other("k_pod", "n_pod", 99, kAllFiles),
        count("k_pod", "v_dvr", 255, kAllFiles | kMatrix | kEntrances | kEntranceSwitch),
        count("k_pod", "v_kvr", 32767, kAllFiles | kEntrances | kApartments),
        count("k_pod", "n1kvr", 32767, kAllFiles | kEntrances | kEntranceSwitch),
        count("k_pod", "npkvr", 32767, kAllFiles | kEntrances | kEntranceSwitch),
        flag("k_pod", "type_n", kAllFiles),
        count("k_pod", "d_key", 65535, kPanelFiles | kKeys | kEntranceSwitch),
        count("k_pod", "o_key", 65535, kPanelFiles | kKeys | kEntranceSwitch),
        count("k_pod", "o_rky", 65535, kPanelFiles | kKeys),
        other("k_pod", "p_dop", 0, 0),
        other("k_pod", "kvv_t", kInt32, kAllFiles),
        // Apartment or handset.
        key("k_kvr", "id_kvr", kAllFiles),
        key("k_kvr", "id_net", kAllFiles),
        key("k_kvr", "id_pod", kAllFiles),
        other("k_kvr", "p_nom", 65535, kAllFiles | kApartments),
        flag("k_kvr", "call", kPanelFiles),
        flag("k_kvr", "m_obr", kSwitchFiles),
        other("k_kvr", "p_pk", 65535, kAllFiles | kEntranceSwitch),
        flag("k_kvr", "l_otz", kPanelFiles),
        flag("k_kvr", "l_del", 0),
        other("k_kvr", "v_key", 255, 0),
        other("k_kvr", "r_key", 255, 0),
        {"k_kvr", "mtdy", ColumnRole::Device, 16, 65535,
         kConsoleFile | kPanelFiles | kApartmentEditor, 0, true, false},
        {"k_kvr", "mtnt", ColumnRole::Device, 16, 65535,
         kConsoleFile | kPanelFiles | kApartmentEditor, 0, true, false},
        flag("k_kvr", "l_pnp", kConsoleFile),
        flag("k_kvr", "l_trub", kAllFiles),
    };
    t << apartmentFlags();
    t << QList<StoredColumn>{
        flag("k_kvr", "l_vid", kSwitchFiles),
        flag("k_kvr", "m_blk", kSwitchFiles),
        other("k_kvr", "p_dop", 0, 0),
        count("k_kvr", "x_key", 65535, kPanelFiles | kApartments | kKeys | kApartmentEditor),
        count("k_kvr", "y_key", 65535, kPanelFiles | kApartments | kKeys | kApartmentEditor),
        // Key.
        key("k_key", "id_pod", kPanelFiles),
        key("k_key", "id_kvr", kPanelFiles),
        key("k_key", "id_net", kPanelFiles),
        flag("k_key", "l_ob", 0),
        flag("k_key", "l_del", 0),
        // Switch.
        key("k_pk", "id_pk", kAllFiles),
        key("k_pk", "id_pod", kAllFiles),
        key("k_pk", "id_net", kAllFiles),
        key("k_pk", "id_ke", kSwitchFiles),
        key("k_pk", "id_mvv", kSwitchFiles),
        key("k_pk", "id_mot", kSwitchFiles),
        field("k_pk", "n_xl", 16, kSwitchFiles | kEntranceSwitch),
        device("k_pk", "p_fc", 8, 99, kSwitchFiles | kPanelFiles | kEntranceSwitch),
        other("k_pk", "n_net", 255, kAllFiles | kWrite),
        other("k_pk", "type_f", 3, kEntranceSwitch),
        key("k_pk", "id_dip", 0),
        other("k_pk", "ai", 99, kEntranceSwitch),
        field("k_pk", "ah", 8, kPanelFiles | kEntranceSwitch),
        flag("k_pk", "l_cnf", 0),
        other("k_pk", "kf_pr", 5, kAllFiles | kWrite),
        other("k_pk", "p_dop", 0, 0),
        {"k_pk", "n_vid", ColumnRole::Device, 8, 15, kSwitchFiles | kSwitchEditor, 1, true},
        field("k_pk", "rsrv", 4, kSwitchFiles | kSwitchEditor),
        other("k_pk", "passw", 0, 0),
        // Call panel.
        key("k_bv", "id_bv", kPanelFiles | kConsoleFile),
        key("k_bv", "id_net", kPanelFiles),
        other("k_bv", "n_net", 255, kPanelFiles | kConsoleFile | kWrite),
        other("k_bv", "n_nt0", 63, kPanelFiles),
        other("k_bv", "bv_type", 1, kPanelFiles | kPanelEditor),
        {"k_bv", "adrcs", ColumnRole::Device, 16, 1025, kPanelFiles | kPanelEditor, 1, true, false},
        key("k_bv", "adrpk", kPanelFiles | kPanelEditor),
        flag("k_bv", "auto", kPanelFiles),
        flag("k_bv", "bell", kPanelFiles),
        field("k_bv", "blato", 8, kPanelFiles),
        flag("k_bv", "dsoc", kPanelFiles),
        flag("k_bv", "farc", kPanelFiles),
        field("k_bv", "kfilt", 8, kPanelFiles),
        flag("k_bv", "l_kns", 0),
        flag("k_bv", "nrcs", kPanelFiles),
        {"k_bv", "ot", ColumnRole::Device, 4, 16, kPanelFiles, 1},
        flag("k_bv", "ph_0", kPanelFiles),
        flag("k_bv", "ph_1", kPanelFiles),
        field("k_bv", "sl", 4, kPanelFiles),
        flag("k_bv", "l_use", 0),
        other("k_bv", "kf_pr", 5, kPanelFiles | kWrite),
        other("k_bv", "p_dop", 0, 0),
        field("k_bv", "rsrv", 8, kPanelFiles),
        flag("k_bv", "scud", kPanelFiles),
        flag("k_bv", "lrez", kPanelFiles),
        other("k_bv", "passw", 0, 0),
        flag("k_bv", "l_pok", 0),
        // Security-post console.
        key("k_po", "id_po", kConsoleFile),
        key("k_po", "id_net", kConsoleFile),
        other("k_po", "n_net", 255, kConsoleFile | kWrite),
        key("k_po", "id_mel0", kConsoleFile),
        key("k_po", "id_mel1", kConsoleFile),
        field("k_po", "adcch", 8, kConsoleFile | kConsole),
        field("k_po", "adccl", 8, kConsoleFile | kConsole),
        field("k_po", "adccm", 8, kConsoleFile | kConsole),
        field("k_po", "adchh", 8, kConsoleFile | kConsole),
        field("k_po", "adchl", 8, kConsoleFile | kConsole),
        field("k_po", "adchm", 8, kConsoleFile | kConsole),
        field("k_po", "blato", 16, kConsoleFile | kConsole),
        field("k_po", "busy", 16, kConsoleFile | kConsole),
        field("k_po", "cbto", 8, kConsoleFile | kConsole),
        field("k_po", "cldp", 8, kConsoleFile | kConsole),
        field("k_po", "clha", 8, kConsoleFile | kConsole),
        field("k_po", "clvl", 4, kConsoleFile | kConsole),
        field("k_po", "dpto", 8, kConsoleFile | kConsole),
        field("k_po", "exec", 8, kConsoleFile | kConsole),
        field("k_po", "frmc", 8, kConsoleFile | kConsole),
        device("k_po", "frmi", 8, 5, kConsoleFile | kConsole),
        field("k_po", "klvl", 4, kConsoleFile | kConsole),
        field("k_po", "ncam", 8, kConsoleFile | kConsole),
        field("k_po", "scam", 8, kConsoleFile | kConsole),
        device("k_po", "mtdy", 12, 1439, kConsoleFile | kConsole | kApartmentEditor),
        device("k_po", "mtnt", 12, 1439, kConsoleFile | kConsole | kApartmentEditor),
        field("k_po", "npce", 16, kConsoleFile | kConsole),
        field("k_po", "rmto", 8, kConsoleFile | kConsole),
        field("k_po", "talk", 8, kConsoleFile | kConsole),
        other("k_po", "kf_pr", 5, kConsoleFile | kWrite),
        other("k_po", "p_dop", 0, 0),
        flag("k_po", "lrez", kConsoleFile),
        other("k_po", "passw", 0, 0),
        // Matrix switch column.
        key("m_pk", "id_net", kAllFiles),
        other("m_pk", "n_pk", 255, kAllFiles | kMatrix),
        other("m_pk", "n_pod", 99, kMatrix),
        count("m_pk", "v_dvr", 255, kMatrix),
        other("m_pk", "n_net", 255, kAllFiles | kMatrix),
        key("m_pk", "id_pk", kAllFiles),
        key("m_pk", "id_dom", 0),
        flag("m_pk", "l_del", 0),
        // Matrix cell.
        key("m_bv", "id_net", kAllFiles),
        other("m_bv", "n_pk", 255, kAllFiles | kMatrix),
        other("m_bv", "bv_type", 1, kMatrix),
        other("m_bv", "n_net", 255, kAllFiles | kMatrix),
        other("m_bv", "n_nt0", 63, kMatrix),
        other("m_bv", "plus", 3, kAllFiles | kMatrix),
        key("m_bv", "id_bv", kAllFiles),
        other("m_bv", "tract", 15, kSwitchFiles | kMatrix),
        other("m_bv", "mk_bv", 255, kMatrix),
        other("m_bv", "mk_po", 255, kMatrix),
        flag("m_bv", "l_use", 0),
        flag("m_bv", "l_del", 0),
        // Installation parameters.
        count("t_global", "KolTractPK", 255, kMatrix | kSwitchEditor),
        count("t_global", "MaxCountBV", 255, 0),
        count("t_global", "CamPO", 255, kConsole),
        count("t_global", "MaxDevice", 255, kAllFiles | kNetwork | kEditor),
        count("t_global", "SepDevice", 255, kAllFiles | kNetwork | kEditor),
        other("t_global", "APP_pk", kInt32, 0),
        other("t_global", "APP_bv", kInt32, 0),
        other("t_global", "APP_po", kInt32, 0),
        count("t_global", "MaskBvEnabled", 16, kApartments | kApartmentEditor),
        count("t_global", "MaskPoEnabled", 16, kApartments | kApartmentEditor),
        count("t_global", "WidthMain", 5000, kStart),
        count("t_global", "HeightMain", 6000, kStart),
        count("t_global", "Shapka", 260, kStart | kMatrix),
        count("t_global", "Colstp", 258, kStart | kMatrix),
        // Flag names.
        other("t_fl", "nomf", 16, kGlobalForm),
        // Switch parameter sets.
        key("t_ke", "id_ke", kSwitchFiles | kSwitchEditor),
        key("t_ke", "id_net", 0),
        field("t_ke", "t_cm", 16, kSwitchFiles),
        field("t_ke", "t_cl", 8, kSwitchFiles),
        field("t_ke", "t_dl", 8, kSwitchFiles),
        field("t_ke", "t_vc", 8, kSwitchFiles),
        field("t_ke", "t_dx", 8, kSwitchFiles),
        field("t_ke", "t_st", 8, kSwitchFiles),
        field("t_ke", "t_mo", 8, kSwitchFiles),
        field("t_ke", "t_bo", 8, kSwitchFiles),
        field("t_ke", "t_po", 8, kSwitchFiles),
        field("t_ke", "edge", 4, kSwitchFiles),
        field("t_ke", "t_ed", 8, kSwitchFiles | kSwitchEditor),
        field("t_ke", "t_de", 8, kSwitchFiles | kSwitchEditor),
        field("t_ke", "acp1", 8, kSwitchFiles),
        field("t_ke", "acp2", 8, kSwitchFiles),
        field("t_ke", "acp3", 8, kSwitchFiles),
        field("t_ke", "acp4", 8, kSwitchFiles),
        flag("t_ke", "l_use", 0),
        field("t_ke", "t_wt", 8, kSwitchFiles),
        other("t_ke", "p_dop", 0, 0),
        // Terminal ranges.
        key("t_dip", "id_dip", 0),
        key("t_dip", "id_pk", 0),
        key("t_dip", "id_net", 0),
        other("t_dip", "n_dip", kInt32, 0),
        count("t_dip", "n_nul", 65535, kEntranceSwitch),
        count("t_dip", "n_ful", 65535, kEntranceSwitch),
        other("t_dip", "k_kol", kInt32, 0),
        other("t_dip", "lline", kInt32, 0),
        // Melodies and their notes, and the note staff.
        key("t_mel", "id_mel", kSwitchFiles | kConsoleFile),
        flag("t_mel", "l_edit", 0),
        key("t_bp", "id_mel", kSwitchFiles | kConsoleFile),
        other("t_bp", "nom", 32767, kSwitchFiles | kConsoleFile),
        device("t_bp", "noot", 4, 9, kConsoleFile | kConsole),
        count("t_bp", "gerc", 255, kSwitchFiles | kConsoleFile | kMelodyForm),
        other("t_bp", "gercbeep", 65535, 0),
        count("t_bp", "leng", 255, kSwitchFiles | kConsoleFile | kMelodyForm),
        other("t_not", "oct", 9, 0),
        device("t_not", "Valn", 8, 255, kMelodyForm),
        other("t_not", "Gerc", 65535, 0),
        // Tables read by datasets only.
        key("t_sec", "id_net", 0),
        other("t_sec", "n_net", 255, 0),
        other("t_sec", "n_sec", kInt32, 0),
        other("t_sec", "n_nt0", 63, 0),
        key("t_pack", "id_pack", 0),
        other("t_pkrd", "n_pk", 255, 0),
        other("t_pkrd", "s_pk", kInt32, 0),
        other("t_pkwt", "n_pk", 255, 0),
        other("t_pkwt", "t_pk", kInt32, 0),
    };
    t << textColumns();
    return t;
}

}  // namespace
}  // namespace StoredColumnsUnit

const QList<StoredColumn>& StoredColumns() {
    static const QList<StoredColumn> table = StoredColumnsUnit::makeTable();
    return table;
}
