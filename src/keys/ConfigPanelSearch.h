#pragma once
// Which call panel of the database an opened call-panel file belongs to,
// before its keys are entered: by the identification the file carries
// (object, object number, panel record, panel type, network number), or, in
// the current object, by the structure of the entrances it serves (the
// entrance mask and the blocks of section 2).

#include <QString>

#include <optional>

class TFDM;

// The identification values of the opened file (V_id_net, V_id_nom,
// V_id_bv, V_type_bv, V_n_net); id_bv is also the panel the keys go to.
struct ConfigFileIdent {
    qint64 idNet = 0;
    qint64 idNom = 0;
    qint64 idBv = 0;
    qint64 typeBv = 0;
    qint64 nNet = 0;
};

// Which of the five values matched the database (Ch_id_net .. Ch_n_net).
struct IdentChecks {
    bool idNet = false;
    bool idNom = false;
    bool idBv = false;
    bool typeBv = false;
    bool nNet = false;

    bool All() const { return idNet && idNom && idBv && typeBv && nNet; }
};

struct PanelSearchResult {
    bool found = false;  // "Внести ключи" may be pressed
    QString text;        // L_Found
    IdentChecks checks;
    ConfigFileIdent ident;  // the values after the search
    // A structure search that failed: the last structure it built, which the
    // editor adds to its Mpp memo for the operator to compare.
    std::optional<QString> mppLine;
};

namespace PanelSearchTexts {
QString NoObject();   // "Объект не определен в КФ."
QString Found();      // "БВ найден."
QString NotFound();   // "БВ не найден."
QString Searching();  // "Поиск..."
}  // namespace PanelSearchTexts

// By the file's identification. The file's object becomes the current one
// when it exists; when the panel is not found the object current before is
// made current again.
PanelSearchResult FindPanelByIdent(TFDM& dm, const ConfigFileIdent& ident);

// Among the call panels of the current object: the first whose entrances set
// the same mask as the file (mpd, switch 0 first) and whose blocks (apartment
// count, AI from the switch's first terminal as the write screen builds it,
// AH; entrances without apartments have none, as in a written file) end the
// rest of the file's section 2 (mpp, as its decoder left it). Found, Q_bv
// stays on that panel and the result's ident takes its id_bv, type and network
// number.
PanelSearchResult FindPanelByStructure(TFDM& dm, const ConfigFileIdent& ident, const QString& mpd,
                                       const QString& mpp, int sepDevice);

// The structure text of the panel Q_bv stands on, as FindPanelByStructure
// compares it.
QString PanelStructureText(TFDM& dm);
