#include "foundation/HelpLauncher.h"

#include "foundation/MainWindowLogic.h"
#include "foundation/SettingsFile.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

HelpLauncher::HelpLauncher(QObject* parent) : QObject(parent) {}

HelpLauncher::~HelpLauncher() {
    CloseViewer();
}

QString HelpLauncher::TopicPage(int topic) {
    return QStringLiteral("m%1.htm").arg(topic, 3, 10, QLatin1Char('0'));
}

QString HelpLauncher::HelpFilePath() {
    return AppPaths::UnderProgram(QStringLiteral("Help/HelpPr.chm"));
}

QString HelpLauncher::TopicAddress(int topic) {
    return HelpFilePath() + QStringLiteral("::/") + TopicPage(topic);
}

HelpCommand HelpLauncher::CommandFor(const QString& viewer, const QString& chmFile,
                                     const QString& page) {
    if (QFileInfo(viewer).fileName().startsWith(QStringLiteral("kchmviewer")))
        return {viewer, {QStringLiteral("-showPage"), page, chmFile}};
    // xchm opens a page given as "file:<chm>#xchm:/<page>".
    return {viewer, {QStringLiteral("file:") + chmFile + QStringLiteral("#xchm:/") + page}};
}

QString HelpLauncher::FindViewer() {
    for (const char* name : {"xchm", "kchmviewer"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path;
    }
    return QString();
}

namespace HelpTexts {
QString ViewerMissing(const QString& viewer) {
    return QStringLiteral("Не найдена программа просмотра справки ") + viewer + QLatin1Char('.');
}
QString ViewerFailed(const QString& viewer) {
    return QStringLiteral("Не удалось запустить программу просмотра справки ") + viewer +
           QLatin1Char('.');
}
}  // namespace HelpTexts

QString HelpLauncher::NotInstalledText(const QString& viewer, const QString& helpFile) {
    QStringList lines;
    if (viewer.isEmpty())
        lines << HelpTexts::kNoViewer;
    else if (!QFileInfo(viewer).isFile() || !QFileInfo(viewer).isExecutable())
        lines << HelpTexts::ViewerMissing(viewer);
    if (!QFileInfo(helpFile).isFile()) lines << Manual::MissingText(helpFile);
    if (lines.isEmpty()) return QString();
    lines.prepend(HelpTexts::kNotInstalled);
    return lines.join(QLatin1Char('\n'));
}

bool HelpLauncher::ShowTopic(int topic) {
    CloseViewer();
    const QString viewer = viewer_.isEmpty() ? FindViewer() : viewer_;
    const QString missing = NotInstalledText(viewer, HelpFilePath());
    if (!missing.isEmpty()) {
        Dialogs::Error(MainWindowTexts::kError, missing);
        return false;
    }
    const HelpCommand cmd = CommandFor(viewer, HelpFilePath(), TopicPage(topic));
    process_ = new QProcess(this);
    process_->setProgram(cmd.program);
    process_->setArguments(cmd.arguments);
    process_->setProcessChannelMode(QProcess::ForwardedChannels);
    process_->start();
    if (!process_->waitForStarted(3000)) {
        delete process_;
        process_ = nullptr;
        Dialogs::Error(MainWindowTexts::kError, HelpTexts::ViewerFailed(viewer));
        return false;
    }
    return true;
}

bool HelpLauncher::ViewerRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

void HelpLauncher::CloseViewer() {
    if (!process_) return;
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(2000)) {
            process_->kill();
            process_->waitForFinished(2000);
        }
    }
    delete process_;
    process_ = nullptr;
}

namespace Manual {

QString MissingText(const QString& path) {
    return QStringLiteral("Отсутствует файл ") + path + QLatin1Char('.');
}

QString DefaultPath() {
    return AppPaths::UnderProgram(QStringLiteral("Help/Руководство оператора RUV Kiro-2.pdf"));
}

bool OpenWithDesktop(const QString& path) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

}  // namespace Manual

namespace Manual {

bool Show(IniFile& settings, const std::function<bool(const QString&)>& opener) {
    QString path = DefaultPath();
    if (!QFileInfo::exists(path)) {
        path = SettingsFile::ReadManualPath(settings, path);
        SettingsFile::WriteManualPath(settings, path);
        settings.Save();
    }
    if (!QFileInfo(path).isFile()) {
        Dialogs::Error(MainWindowTexts::kError, MissingText(path));
        return false;
    }
    if (!opener(path)) {
        Dialogs::Error(MainWindowTexts::kError, kOpenFailed);
        return false;
    }
    return true;
}

}  // namespace Manual

HelpLauncher& AppHelp() {
    // Owned by the application object, so the viewer is closed before Qt goes.
    static QPointer<HelpLauncher> launcher;
    if (!launcher) launcher = new HelpLauncher(QCoreApplication::instance());
    return *launcher;
}
