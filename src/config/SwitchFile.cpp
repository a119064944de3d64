#include "config/SwitchFile.h"

#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/SwitchSections.h"
#include "config/TPkParams.h"
#include "foundation/BitAndStr.h"

namespace {

// Builds section i of the switch into text; false when the file cannot be made.
// videoMask carries the mask section 3 builds over to section 7.
bool encodeSwitchSection(int i, const SwitchFileInput& in, QString& videoMask, QString& text,
                         ConfigLogs& logs) {
    switch (i) {
        case 0:
            return EncodePkSection0(in.paramSet, in.device, text, logs);
        case 1:
            text = EncodePkSection1(in.object, in.device, logs);
            return true;
        case 2:
            text = EncodePkSection2(in.tractPanels, in.sepDevice, logs);
            return true;
        case 3:
            text = EncodePkSection3(in.apartments, videoMask, logs);
            return true;
        case 4:
            text = EncodePkSection4(in.callMelody, in.ringBackMelody, logs);
            return true;
        case 5:
            text = EncodePkSection5(logs);
            return true;
        case 6:
            text = EncodePkSection6(in.paramSet, in.device, in.apartments, logs);
            return true;
        default:
            text = EncodePkSection7(in.device, videoMask, logs);
            return true;
    }
}

}  // namespace

ConfigFileBuild BuildSwitchFile(const SwitchFileInput& in, const QString& filePath) {
    if (in.device.typeK.trimmed().isEmpty()) {
        ConfigFileBuild b;
        b.status = ConfigBuildStatus::NotSetUp;
        b.resultLine = filePath;
        return b;
    }
    QString videoMask;
    ConfigFileRecipe recipe;
    recipe.kind = kKindSwitch;
    recipe.headerText = BuildConfigHeader(in.device.nNet, in.object.idNom, in.sepDevice);
    recipe.deviceLabel = QStringLiteral(" КМ") + IntToStrZ(in.device.nNet, 2);
    recipe.deviceName = recipe.deviceLabel.trimmed();
    recipe.overflowPrefix = QStringLiteral("ФАЙЛ  ******** ");
    recipe.encodeSection = [&](int i, QString& text, ConfigLogs& logs) {
        return encodeSwitchSection(i, in, videoMask, text, logs);
    };
    return BuildConfigFile(recipe, filePath);
}
