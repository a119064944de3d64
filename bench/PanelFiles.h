#pragma once
// Call-panel files of a chosen size for the configuration benchmarks: one
// entrance whose apartments have six keys each, as the write screen encodes
// it. A file may be built past the size limit of the write screen and the
// editor, up to what a device's memory holds, as a device may send it.

#include "config/CallCodeSection.h"
#include "config/CallPanelFile.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"

#include <QByteArray>
#include <QStringList>

namespace bench {

constexpr int kKeysPerApartment = 6;
constexpr int kHeaderAndEndMark = 31 + 2;

// An entrance panel (network number 65) of one entrance of `apartments`
// apartments, codes 1 up, six keys each.
inline PanelFileInput PanelWith(int apartments) {
    PanelFileInput in;
    in.object.idNet = 1;
    in.object.idNom = 0;  // no object is open in the editor: its header carries 0
    in.object.flbv = QStringLiteral("11") + QString(30, QLatin1Char('0'));
    in.object.vKey = 2;
    in.device.idBv = 1;
    in.device.idNet = 1;
    in.device.nNet = 65;
    in.device.nNt0 = 1;
    in.device.nBv = QStringLiteral("БВ подъезда");
    in.device.ot = 5;
    in.reserveSlots = false;
    PanelEntranceRow entrance;
    entrance.idPod = 1;
    entrance.idPk = 1;
    entrance.nNet = 1;
    entrance.nPk = 1;
    entrance.pFc = 1;
    int key = 0x100000;
    for (int a = 1; a <= apartments; ++a) {
        PanelApartmentRow row;
        row.call.pKvr = QString::number(a);
        row.xKey = row.yKey = kKeysPerApartment;
        for (int k = 0; k < kKeysPerApartment; ++k)
            row.keys << QString::number(key++, 16).toUpper();
        entrance.apartments << row;
    }
    in.entrances << entrance;
    return in;
}

// The whole file of the panel, every section as the write screen encodes
// it, whatever its size.
inline QByteArray PanelFileBytes(const PanelFileInput& in) {
    ConfigLogs logs;
    QStringList sections;
    QString section0;
    qint64 handsetOrdinal = 0;
    if (!EncodeBvSection0(in.device, in.entrances, in.sepDevice, section0, handsetOrdinal, logs))
        return {};
    const CallCodeResult codes =
        EncodeBvSection3(in.object, in.device, PanelCallApartments(in.entrances), in.prefixWidth,
                         handsetOrdinal, in.sepDevice, logs);
    if (!codes.ok) return {};
    sections << section0 << EncodeBvSection1(in.object, in.device, logs)
             << EncodeBvSection2(in.device, in.entrances, in.sepDevice, logs) << codes.section
             << EncodeBvSection4(in.object, in.device, codes.callFlagText, in.sepDevice, logs)
             << EncodeBvSection5(in, logs) << EncodeBvSection6(in, logs)
             << EncodeBvSection7(in, logs);
    for (const QString& s : sections)
        if (!SectionLengthMatches(s)) return {};  // a section past its 16-bit length
    return ConfigFileBytes(BuildConfigHeader(in.device.nNet, in.object.idNom, in.sepDevice),
                           sections);
}

// The panel file with the most apartments whose bytes (header and end mark
// included) stay within maxBytes.
inline QByteArray LargestPanelFile(qint64 maxBytes) {
    int lo = 1, hi = 8000;
    QByteArray best;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const QByteArray file = PanelFileBytes(PanelWith(mid));
        if (!file.isEmpty() && file.size() <= maxBytes) {
            best = file;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}

}  // namespace bench
