#pragma once
// The configuration files of the fixture object as the write screen builds
// them, written into a temporary folder, for the tests of the screens that
// read and edit files.

#include "config/CallCodeSection.h"
#include "config/CallPanelFile.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConfigRepository.h"
#include "config/ConfigScreenSettings.h"
#include "config/ConsoleFile.h"
#include "config/ConsoleSections.h"
#include "config/PanelKeySections.h"
#include "config/SwitchFile.h"
#include "config/TBvParams.h"

#include "ConfigObjectFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

class ConfigFilesFixture : public ConfigObjectFixture {
  public:
    // The global parameters of a new database, as the screens read them.
    static ConfigScreenSettings ScreenSettings() {
        ConfigScreenSettings s;
        s.sizes = ConfigSection0Sizes{176, 232, 1088};
        return s;
    }

  protected:
    QByteArray SwitchFile(int nNet) {
        ConfigRepository repo(Db());
        std::optional<SwitchFileInput> in;
        EXPECT_TRUE(repo.ReadSwitchFileInput(kIdNet, nNet, in)) << repo.LastError().toStdString();
        if (!in) return {};
        return BuildSwitchFile(*in, QStringLiteral("f")).bytes;
    }

    QByteArray PanelFile(int nNet) {
        ConfigRepository repo(Db());
        std::optional<PanelFileInput> in;
        EXPECT_TRUE(repo.ReadPanelFileInput(kIdNet, nNet, in)) << repo.LastError().toStdString();
        if (!in) return {};
        return BuildCallPanelFile(*in, QStringLiteral("f")).bytes;
    }

    QByteArray ConsoleFile() {
        ConfigRepository repo(Db());
        std::optional<ConsoleFileInput> in;
        EXPECT_TRUE(repo.ReadConsoleFileInput(kIdNet, in)) << repo.LastError().toStdString();
        if (!in) return {};
        return BuildConsoleFile(*in, QStringLiteral("f")).bytes;
    }

    // The console file with every entrance announcing 65535 apartments in
    // section 2, more than section 3 has codes for.
    QByteArray ConsoleFileWithDamagedCounts() {
        cfgtest::FileParts p = cfgtest::Split(ConsoleFile());
        PoEntranceGrid grid = DecodePoEntranceMask(cfgtest::Taken(p.sections[2]), 63);
        for (int n = 1; n <= kEntrances; ++n) grid.apartments[n] = 65535;
        p.sections[2] = EncodePoEntranceMask(grid, 63, nullptr);
        return cfgtest::Join(p);
    }

    // The file's path in the temporary folder.
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return Path(name);
    }

    QByteArray Read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A call-panel file saved unchanged by the editor comes back byte for
    // byte but for section 5, which ends with the last apartment that has a
    // slot: the same keys in the same slots, the records after them dropped.
    static void ExpectPanelSavedUnchanged(const QByteArray& saved, const QByteArray& file) {
        EXPECT_EQ(saved.left(kConfigHeaderBytes), file.left(kConfigHeaderBytes));
        const QList<ConfigSection> a = Sections(saved), b = Sections(file);
        ASSERT_EQ(a.size(), b.size());
        for (int i = 0; i < a.size(); ++i) {
            if (i == 5) continue;
            EXPECT_EQ(a[i].text, b[i].text) << "section " << i;
        }
        ASSERT_GT(a.size(), 5);
        EXPECT_EQ(Keys5Text(a[5].text), Keys5Text(b[5].text));
        EXPECT_LE(a[5].bits, b[5].bits);
    }

    // ---- Files the program did not write: a text field of a file of the
    // fixture holding what another writer may put there.

    // Bytes written as hexadecimal pairs: "41 01 1B".
    static QByteArray Hex(const char* pairs) { return QByteArray::fromHex(pairs); }

    // The console file with slide n (0 sobj1, 1 sobj2, 2 .. 5 sus1 .. sus4)
    // of these bytes, padded with blanks to its 16.
    static QByteArray WithSlide(const QByteArray& console, int n, const QByteArray& bytes) {
        cfgtest::FileParts p = cfgtest::Split(console);
        QByteArray payload = cfgtest::Payload(p.sections[0]);
        payload.replace(39 + 16 * n, 16, bytes.leftJustified(16, ' ', true));
        p.sections[0] = cfgtest::SectionOf(payload);
        return cfgtest::Join(p);
    }

    // A panel file with door-open code i of this 17-bit field value.
    static QByteArray WithOpenCode(const QByteArray& panel, int i, qint64 field) {
        cfgtest::FileParts p = cfgtest::Split(panel);
        TBvParams params;
        BvParamsFromBits(cfgtest::Taken(p.sections[0]), params);
        params.ocode[i] = BitField(field, 17);
        QString payload = BvParamsToBits(params);
        p.sections[0] = WrapSection(payload, 0, 1, nullptr);
        return cfgtest::Join(p);
    }

    // A panel or console file with the value of call code i in section 3
    // replaced. Packed, every code after the first is written as its value,
    // a form the editor does not choose but reads.
    static QByteArray WithCallCode(const QByteArray& file, int i, qint64 value, bool packed) {
        cfgtest::FileParts p = cfgtest::Split(file);
        const EditorFile opened =
            LoadEditorBytes(file, QStringLiteral("codes.bin"), ScreenSettings());
        const QList<CallCodeRecord>& records =
            opened.kind == kKindConsole ? opened.po.records : opened.bv.records;
        BitsLowFirst bits;
        bits.Add(packed ? 1 : 0, 8);
        if (packed) bits.Add(7, 3);  // the start mark
        for (int r = 0; r <= records.size(); ++r) {
            qint64 v = kCallCodeEndMarker;
            if (r < records.size() && !CallCodeValue(records[r].code, v)) ADD_FAILURE();
            if (r == i) v = value;
            if (packed && r > 0) bits.Add(7, 3);  // an entry holding the value itself
            bits.Add(v, kCallCodeBits);
        }
        QString payload = bits.Text();
        p.sections[3] = WrapSection(payload, 3, 1, nullptr);
        return cfgtest::Join(p);
    }

  private:
    static QList<ConfigSection> Sections(const QByteArray& file) {
        QString image = ImageFromBytes(file.mid(kConfigHeaderBytes));
        return TakeAllSections(image);
    }
    static QStringList Keys5Text(const QString& section) {
        const Keys5List keys = DecodeBvKeys5(section);
        QStringList rows{QString::number(keys.kolSl5), QString::number(keys.minSl)};
        for (const Keys5Row& r : keys.rows) rows << r.apartment + ' ' + r.key + ' ' + r.kind;
        return rows;
    }

  protected:
    QTemporaryDir dir_;
};
