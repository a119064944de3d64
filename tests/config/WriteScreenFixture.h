#pragma once
// The fixture object with the write screen's core on it: the write folder
// under the database folder, the device list read, and what the tests look
// at afterwards (files in the folder, kf_pr of the device rows, the files the
// builders make of the same records).

#include "config/CallPanelFile.h"
#include "config/ConfigRepository.h"
#include "config/ConfigWriteScreen.h"
#include "config/ConsoleFile.h"
#include "config/SwitchFile.h"

#include "ConfigObjectFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

class WriteScreenFixture : public ConfigObjectFixture {
  protected:
    // The database folder the main window hands over.
    QString DbFolder() const { return QFileInfo(DbPath()).absolutePath() + QLatin1Char('/'); }
    QString Folder() const { return WriteFolderFor(DbFolder(), kIdNet); }
    QString FileOf(const QString& name) const { return Folder() + QLatin1Char('/') + name; }

    // A write screen prepared as the main window opens it.
    std::unique_ptr<ConfigWriteScreen> NewScreen() {
        auto screen = std::make_unique<ConfigWriteScreen>(Db());
        EXPECT_TRUE(screen->BuildWriteFolder(DbFolder(), kIdNet));
        EXPECT_TRUE(screen->RefreshDeviceList()) << screen->LastError().toStdString();
        return screen;
    }

    static QList<int> AllRows(const ConfigWriteScreen& screen) {
        QList<int> rows;
        for (int i = 0; i < screen.Rows().size(); ++i) rows << i;
        return rows;
    }
    static QStringList RowTexts(const ConfigWriteScreen& screen) {
        QStringList texts;
        for (const WriteListRow& row : screen.Rows()) texts << row.text;
        return texts;
    }

    // The summary of the last pass as Memo2 ends with it, after "ИТОГИ".
    static QStringList SummaryTail(ConfigWriteScreen& s) {
        const QStringList& r = s.Logs().result;
        const qsizetype at = r.lastIndexOf(WriteScreenTexts::kSummaryTitle);
        return at < 0 ? QStringList() : r.mid(at + 1);
    }

    static QByteArray ReadFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList FilesInFolder() const {
        return QDir(Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    int State(const char* table, int nNet) {
        QSqlQuery q(Db());
        q.prepare(QStringLiteral("SELECT kf_pr FROM %1 WHERE n_net = ?").arg(table));
        q.addBindValue(nNet);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    }

    // The files the builders make of the same records.
    QByteArray SwitchBytes(int nNet) {
        ConfigRepository repo(Db());
        std::optional<SwitchFileInput> in;
        EXPECT_TRUE(repo.ReadSwitchFileInput(kIdNet, nNet, in));
        return in ? BuildSwitchFile(*in, QStringLiteral("f")).bytes : QByteArray();
    }
    QByteArray PanelBytes(int address, bool reserveSlots = true) {
        ConfigRepository repo(Db());
        std::optional<PanelFileInput> in;
        EXPECT_TRUE(repo.ReadPanelFileInput(kIdNet, address, in));
        if (!in) return {};
        in->reserveSlots = reserveSlots;
        return BuildCallPanelFile(*in, QStringLiteral("f")).bytes;
    }
    QByteArray ConsoleBytes() {
        ConfigRepository repo(Db());
        std::optional<ConsoleFileInput> in;
        EXPECT_TRUE(repo.ReadConsoleFileInput(kIdNet, in));
        return in ? BuildConsoleFile(*in, QStringLiteral("f")).bytes : QByteArray();
    }
};
