#include "config/CallPanelFile.h"

#include "config/CallCodeSection.h"
#include "config/ConfigHeader.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"
#include "foundation/BitAndStr.h"

namespace {

// What one section hands to a later one of the same file.
struct PanelPass {
    qint64 consoleHandsetOrdinal = kBvNoHandset;  // section 0 to section 3
    QString callFlagText;                         // section 3 to section 4
};

bool encodePanelSection(int i, const PanelFileInput& in, PanelPass& pass, QString& text,
                        ConfigLogs& logs) {
    switch (i) {
        case 0:
            return EncodeBvSection0(in.device, in.entrances, in.sepDevice, text,
                                    pass.consoleHandsetOrdinal, logs);
        case 1:
            text = EncodeBvSection1(in.object, in.device, logs);
            return true;
        case 2:
            text = EncodeBvSection2(in.device, in.entrances, in.sepDevice, logs);
            return true;
        case 3: {
            const CallCodeResult codes =
                EncodeBvSection3(in.object, in.device, PanelCallApartments(in.entrances),
                                 in.prefixWidth, pass.consoleHandsetOrdinal, in.sepDevice, logs);
            text = codes.section;
            pass.callFlagText = codes.callFlagText;
            return codes.ok;
        }
        case 4:
            text = EncodeBvSection4(in.object, in.device, pass.callFlagText, in.sepDevice, logs);
            pass.callFlagText.clear();
            return true;
        case 5:
            text = EncodeBvSection5(in, logs);
            return true;
        case 6:
            text = EncodeBvSection6(in, logs);
            return true;
        default:
            text = EncodeBvSection7(in, logs);
            return true;
    }
}

// The end of the result line of a file that outgrew the limit: at the
// per-apartment keys, how to make it smaller.
QString overflowTail(int section) {
    QString tail(QLatin1Char(' '));
    if (section == 5)
        tail += QStringLiteral(
            "Следует уменьшить количество ключей на квартиру или количество резервных ключей на "
            "квартиры подъезда. ");
    return tail;
}

}  // namespace

QList<CallCodeApartmentRow> PanelCallApartments(const QList<PanelEntranceRow>& entrances) {
    QList<CallCodeApartmentRow> rows;
    for (const PanelEntranceRow& e : entrances)
        for (const PanelApartmentRow& a : e.apartments) rows << a.call;
    return rows;
}

ConfigFileBuild BuildCallPanelFile(const PanelFileInput& in, const QString& filePath) {
    PanelPass pass;
    ConfigFileRecipe recipe;
    recipe.kind = kKindCallPanel;
    recipe.headerText = BuildConfigHeader(in.device.nNet, in.object.idNom, in.sepDevice);
    recipe.deviceLabel = QStringLiteral(" БВ") + IntToStrZ(in.device.nNt0, 2);
    // The screen numbers a panel by its address, as its file is named.
    recipe.deviceName = QStringLiteral("БВ") + IntToStrZ(in.device.nNet - kFirstPanelAddress, 2);
    recipe.overflowPrefix = QStringLiteral("ФАЙЛ  ******** ");
    recipe.overflowTail = [](int section) { return overflowTail(section); };
    recipe.unframedStopLine = QStringLiteral("* Слияние секций в файл прекращено! *");
    recipe.encodeSection = [&](int i, QString& text, ConfigLogs& logs) {
        return encodePanelSection(i, in, pass, text, logs);
    };
    return BuildConfigFile(recipe, filePath);
}
