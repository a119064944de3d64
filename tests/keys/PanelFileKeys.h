#pragma once
// What the configuration-file editor holds of a call-panel file, made the way
// a real file is made: the write screen's encoders build sections 1, 2 and 5
// to 7 of a panel from the database, and the editor's decoders turn them into
// the identification values, the section-2 memos and the three key lists.

#include "config/ConfigRepository.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/SectionBytes.h"
#include "keys/ConfigPanelSearch.h"

#include <gtest/gtest.h>

#include <optional>

struct PanelFileKeys {
    ConfigFileIdent ident;
    BvEntranceGrid entrances;  // Mpd, Mpp
    Keys5List keys5;
    Keys6List keys6;
    Keys7List keys7;
};

// The panel nNet of object idNet as a file of it would show in the editor.
// Spare slots are written as the write screen writes them by default.
inline PanelFileKeys ReadPanelFileKeys(QSqlDatabase db, qint64 idNet, int nNet,
                                       bool reserveSlots = true) {
    PanelFileKeys keys;
    ConfigRepository repository(db);
    std::optional<PanelFileInput> in;
    EXPECT_TRUE(repository.ReadPanelFileInput(idNet, nNet, in))
        << repository.LastError().toStdString();
    EXPECT_TRUE(in.has_value());
    if (!in) return keys;
    in->reserveSlots = reserveSlots;
    keys.ident = {in->object.idNet, in->object.idNom, in->device.idBv, in->device.bvType,
                  in->device.nNet};
    ConfigLogs logs;
    // Each section as the file reader hands it to the editor's decoders.
    keys.entrances = DecodeBvEntranceMask(
        cfgtest::Taken(EncodeBvSection2(in->device, in->entrances, in->sepDevice, logs)),
        in->sepDevice);
    keys.keys5 = DecodeBvKeys5(cfgtest::Taken(EncodeBvSection5(*in, logs)));
    keys.keys6 = DecodeBvKeys6(cfgtest::Taken(EncodeBvSection6(*in, logs)));
    keys.keys7 = DecodeBvKeys7(cfgtest::Taken(EncodeBvSection7(*in, logs)));
    return keys;
}
