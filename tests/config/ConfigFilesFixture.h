#pragma once
// The configuration files of the fixture object as the write screen builds
// them, written into a temporary folder, for the tests of the screens that
// read and edit files.

#include "config/CallPanelFile.h"
#include "config/ConfigRepository.h"
#include "config/ConfigScreenSettings.h"
#include "config/ConsoleFile.h"
#include "config/ConsoleSections.h"
#include "config/SwitchFile.h"

#include "ConfigObjectFixture.h"
#include "SectionBytes.h"

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

    QTemporaryDir dir_;
};
