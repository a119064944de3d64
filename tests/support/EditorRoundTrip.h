#pragma once
// The configuration-file editor's round trip, in memory: a file opened,
// saved, opened again and saved again. Every file the editor saves opens
// again without a warning, and saved again gives the same bytes. A file that
// opened without a warning saves (an open warns of whatever a save refuses),
// and the second open finds the kind, section 1 and kept sections of the
// first (their payloads: a save gives every section the version byte 1), and
// every field it shows as text with the bits the file held: a field nobody
// edited keeps the file's bytes.
// The editor tests and its fuzz target hold files to it; it needs only the
// core, so the fuzz target can include it.

#include "config/ConfigEditorFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

struct EditorRoundTrip {
    EditorFile opened;         // the file as given
    EditorSaveResult saved;    // its first save
    EditorFile reopened;       // the first save opened
    EditorSaveResult resaved;  // and saved again
    QString broken;            // what did not hold; empty when all did
};

namespace editor_round_trip {

// A section's hexadecimal text without its version byte.
inline QString PayloadHex(const QString& sectionHex) {
    return sectionHex.chopped(qMin<qsizetype>(2, sectionHex.size()));
}

inline QStringList PayloadsHex(const QStringList& sectionsHex) {
    QStringList out;
    for (const QString& hex : sectionsHex) out << PayloadHex(hex);
    return out;
}

// The fields the editor shows as text, as the file held them, in one order:
// the console's slides, the door-open codes, then the call codes.
inline QStringList TextFieldsAsRead(const EditorFile& f) {
    QStringList bits;
    for (const FieldAsRead& r : f.po.params.slidesAsRead) bits << r.bits;
    for (const FieldAsRead& r : f.bv.params.OcodeAsRead) bits << r.bits;
    for (const QList<CallCodeRecord>* records : {&f.po.records, &f.bv.records})
        for (const CallCodeRecord& r : *records) bits << r.codeAsRead.bits;
    return bits;
}

// The first field the first open read whole that the save gave other bits,
// as its place in TextFieldsAsRead; -1 when every one kept its bits.
inline int ChangedTextField(const EditorFile& opened, const EditorFile& reopened) {
    const QStringList before = TextFieldsAsRead(opened), after = TextFieldsAsRead(reopened);
    for (int i = 0; i < before.size(); ++i)
        if (!before[i].isEmpty() && after.value(i) != before[i]) return i;
    return -1;
}

}  // namespace editor_round_trip

inline EditorRoundTrip RunEditorRoundTrip(QByteArrayView bytes, const ConfigScreenSettings& s,
                                          qint64 idNom) {
    using namespace editor_round_trip;
    EditorRoundTrip rt;
    rt.opened = LoadEditorBytes(bytes, QStringLiteral("round_trip.bin"), s);
    if (!rt.opened.Parsed()) return rt;
    const bool clean = rt.opened.warnings.isEmpty();
    rt.saved = BuildEditorFile(rt.opened, idNom, s);
    if (rt.saved.bytes.isEmpty()) {
        if (clean)
            rt.broken = QStringLiteral("the save refused a file that opened without a warning: ") +
                        rt.saved.refusal;
        return rt;
    }
    rt.reopened = LoadEditorBytes(rt.saved.bytes, rt.opened.fileName, s);
    if (!rt.reopened.Parsed()) {
        rt.broken = QStringLiteral("the saved file does not open");
        return rt;
    }
    if (!rt.reopened.warnings.isEmpty()) {
        rt.broken = QStringLiteral("the saved file opens with a warning: ") +
                    rt.reopened.warnings.join(QLatin1Char(' '));
        return rt;
    }
    if (rt.reopened.kind != rt.opened.kind) {
        rt.broken = QStringLiteral("the saved file opens as another kind");
        return rt;
    }
    rt.resaved = BuildEditorFile(rt.reopened, idNom, s);
    if (rt.resaved.bytes != rt.saved.bytes) {
        rt.broken = QStringLiteral("the second save differs from the first");
        return rt;
    }
    if (!clean) return rt;
    if (PayloadHex(rt.reopened.identHex) != PayloadHex(rt.opened.identHex))
        rt.broken = QStringLiteral("section 1 changed");
    else if (PayloadsHex(rt.reopened.keptHex) != PayloadsHex(rt.opened.keptHex))
        rt.broken = QStringLiteral("the kept sections changed");
    else if (const int field = ChangedTextField(rt.opened, rt.reopened); field >= 0)
        rt.broken = QStringLiteral("text field %1 changed though nobody edited it").arg(field);
    return rt;
}
