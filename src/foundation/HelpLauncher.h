#pragma once
// Context help: the compiled help file "Help/HelpPr.chm" shown by an installed
// CHM viewer, one topic page "mNNN.htm" at a time. The viewer this program
// started is closed before the next topic opens. Without a viewer or without
// the help file the operator is told which is missing. Also the operator's
// manual (a PDF opened by the desktop).

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

struct HelpCommand {
    QString program;
    QStringList arguments;
};

class HelpLauncher : public QObject {
    Q_OBJECT
  public:
    explicit HelpLauncher(QObject* parent = nullptr);
    ~HelpLauncher() override;

    // "mNNN.htm" for a topic number.
    static QString TopicPage(int topic);
    // Program folder + "Help/HelpPr.chm::/mNNN.htm", the address of a topic.
    static QString TopicAddress(int topic);
    static QString HelpFilePath();
    // The command that shows page of chmFile with the given viewer program
    // (xchm or kchmviewer, told apart by its file name).
    static HelpCommand CommandFor(const QString& viewer, const QString& chmFile,
                                  const QString& page);
    // The first of xchm, kchmviewer found on the search path, or empty.
    static QString FindViewer();

    // Viewer used instead of the one on the path (tests use a script).
    void SetViewer(const QString& viewer) { viewer_ = viewer; }

    // Why help cannot be shown with this viewer (empty: none found) and help
    // file: one message naming what is missing; empty when nothing is.
    static QString NotInstalledText(const QString& viewer, const QString& helpFile);

    // Closes the running viewer, then shows the topic. False, after telling
    // the operator, when help is not installed or the viewer could not start.
    bool ShowTopic(int topic);
    // Closes the viewer this program started, if it is running.
    void CloseViewer();
    bool ViewerRunning() const;

  private:
    QString viewer_;
    QProcess* process_ = nullptr;
};

// The operator's manual.
namespace HelpTexts {
inline const QString kNotInstalled = QStringLiteral("Справка не установлена.");
inline const QString kNoViewer =
    QStringLiteral("Не найдена программа просмотра справки (xchm или kchmviewer).");
// The viewer given is not a program that can be run.
QString ViewerMissing(const QString& viewer);
QString ViewerFailed(const QString& viewer);
}  // namespace HelpTexts

namespace Manual {
inline const QString kOpenFailed = QStringLiteral("Ошибка открытия PDF файла.");
// "Отсутствует файл " + path + "."
QString MissingText(const QString& path);
// Program folder + "Help/Руководство оператора RUV Kiro-2.pdf".
QString DefaultPath();
// Opens path with the desktop's handler; returns false when that fails.
bool OpenWithDesktop(const QString& path);
}  // namespace Manual

class IniFile;
namespace Manual {
// The manual command: the default manual, or when that is missing the path
// kept in Help/hp (written back). Opens it with opener, or reports a missing
// file or a failed open under the caption "Ошибка". Returns true when opened.
bool Show(IniFile& settings, const std::function<bool(const QString&)>& opener = OpenWithDesktop);
}  // namespace Manual

// The program's one help launcher, so that every help button closes the
// viewer the previous one opened.
HelpLauncher& AppHelp();
