#include "config/ConsoleFile.h"

#include "config/CallCodeSection.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConsoleSections.h"
#include "config/DayNightSection.h"
#include "config/TPoParams.h"
#include "foundation/BitAndStr.h"

namespace {

// The sections of one console file; section 3's pass feeds sections 4 and 5.
class ConsoleSectionEncoder {
  public:
    explicit ConsoleSectionEncoder(const ConsoleFileInput& in) : in_(in) {}

    bool Encode(int i, QString& text, ConfigLogs& logs) {
        const ConsoleRow& console = *in_.console;
        switch (i) {
            case 0:
                return EncodePoSection0(in_.object, console, in_.visitorMelody,
                                        in_.subscriberMelody, text, logs);
            case 1:
                text = EncodePoSection1(in_.object, console, logs);
                return true;
            case 2:
                text = EncodePoSection2(in_.switches, console.lrez, in_.sepDevice, logs);
                return true;
            case 3:
                return encodeCallCodes(text, logs);
            case 4:
                text = EncodePoSection4(in_.object.flpo, codes_.callFlagText, logs);
                return true;
            case 5:
                text = EncodePoSection5(codes_.poTimeMask, codes_.poTimeWords, logs);
                return true;
            default:
                return EncodePoSection6(in_.switches, text, logs);
        }
    }

  private:
    bool encodeCallCodes(QString& text, ConfigLogs& logs) {
        QList<CallCodeApartmentRow> apartments;
        for (const ConsoleSwitchRow& s : in_.switches) apartments += s.apartments;
        codes_ = EncodePoSection3(in_.object, apartments, CallCodePrefixWidth(in_.objectCallCodes),
                                  logs);
        text = codes_.section;
        return codes_.ok;
    }

    const ConsoleFileInput& in_;
    CallCodeResult codes_;
};

}  // namespace

ConfigFileBuild BuildConsoleFile(const ConsoleFileInput& in, const QString& filePath) {
    if (!in.console) {
        // Nothing to describe the console with: its screen has never been saved.
        ConfigFileBuild b;
        b.status = ConfigBuildStatus::Failed;
        b.stopSection = 0;
        TellInResults(b.logs, QStringLiteral("Нет записи ППО объекта: сохраните параметры на "
                                             "экране пульта поста охраны."));
        b.resultLine = ConfigFileNotCreatedLine(filePath);
        return b;
    }
    ConsoleSectionEncoder encoder(in);
    ConfigFileRecipe recipe;
    recipe.kind = kKindConsole;
    recipe.headerText = BuildConfigHeader(in.sepDevice, in.object.idNom, in.sepDevice);
    recipe.deviceLabel = QStringLiteral(" ППО") + IntToStrZ(in.console->nNet, 2);
    recipe.deviceName = QStringLiteral("ППО00");  // its file is cpo00 whatever its address
    recipe.overflowPrefix = QStringLiteral("ФАЙЛ ******** ");
    recipe.encodeSection = [&encoder](int i, QString& text, ConfigLogs& logs) {
        return encoder.Encode(i, text, logs);
    };
    return BuildConfigFile(recipe, filePath);
}
