#pragma once
// The one place every form and core unit asks the operator. The program
// installs a message-box backend; tests install a script.

#include <QString>
#include <QStringList>

enum class DlgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class DlgAnswer { Ok, Cancel, Yes, No, Retry };
enum class DlgIcon { None, Information, Warning, Error, Question };

class DialogBackend {
  public:
    virtual ~DialogBackend() = default;
    virtual DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons,
                              DlgIcon icon) = 0;
    // Returns the chosen path, or an empty text when the operator cancels.
    virtual QString OpenFile(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString SaveFile(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString ChooseFolder(const QString& caption, const QString& dir) = 0;
};

namespace Dialogs {

// Installs the backend (not owned); nullptr removes it. Returns the previous one.
DialogBackend* SetBackend(DialogBackend* backend);
DialogBackend* Backend();

// Caption used by ShowMessage: the application title.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons = DlgButtons::Ok,
                  DlgIcon icon = DlgIcon::None);
// A plain message under the application title.
void ShowMessage(const QString& text);
void Error(const QString& caption, const QString& text);
void Warning(const QString& caption, const QString& text);
void Info(const QString& caption, const QString& text);
// Yes/No question; true on Yes.
bool AskYesNo(const QString& caption, const QString& text);
// Yes/No/Cancel question.
DlgAnswer AskYesNoCancel(const QString& caption, const QString& text);
// OK/Cancel question; true on OK.
bool AskOkCancel(const QString& caption, const QString& text);
// Retry/Cancel question; true on Retry.
bool AskRetryCancel(const QString& caption, const QString& text);

QString OpenFile(const QString& caption, const QString& dir, const QString& filter = QString());
QString SaveFile(const QString& caption, const QString& dir, const QString& filter = QString());
QString ChooseFolder(const QString& caption, const QString& dir);

}  // namespace Dialogs
