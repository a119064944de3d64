#include "platform/Dialogs.h"

#include <QtGlobal>

namespace {
DialogBackend*& backendSlot() {
    static DialogBackend* backend = nullptr;
    return backend;
}
QString& titleSlot() {
    static QString title;
    return title;
}

// Without a backend nobody can answer: take the safe, negative answer.
DlgAnswer negativeAnswer(DlgButtons buttons) {
    switch (buttons) {
        case DlgButtons::Ok:
            return DlgAnswer::Ok;
        case DlgButtons::YesNo:
            return DlgAnswer::No;
        default:
            return DlgAnswer::Cancel;
    }
}
}  // namespace

namespace Dialogs {

DialogBackend* SetBackend(DialogBackend* backend) {
    DialogBackend* previous = backendSlot();
    backendSlot() = backend;
    return previous;
}

DialogBackend* Backend() {
    return backendSlot();
}

void SetApplicationTitle(const QString& title) {
    titleSlot() = title;
}
QString ApplicationTitle() {
    return titleSlot();
}

DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons, DlgIcon icon) {
    if (!backendSlot()) {
        qWarning("Dialog without a backend: %s: %s", qPrintable(caption), qPrintable(text));
        return negativeAnswer(buttons);
    }
    return backendSlot()->Message(caption, text, buttons, icon);
}

void ShowMessage(const QString& text) {
    Message(ApplicationTitle(), text);
}
void Error(const QString& caption, const QString& text) {
    Message(caption, text, DlgButtons::Ok, DlgIcon::Error);
}
void Warning(const QString& caption, const QString& text) {
    Message(caption, text, DlgButtons::Ok, DlgIcon::Warning);
}
void Info(const QString& caption, const QString& text) {
    Message(caption, text, DlgButtons::Ok, DlgIcon::Information);
}
bool AskYesNo(const QString& caption, const QString& text) {
    return Message(caption, text, DlgButtons::YesNo, DlgIcon::Question) == DlgAnswer::Yes;
}
DlgAnswer AskYesNoCancel(const QString& caption, const QString& text) {
    return Message(caption, text, DlgButtons::YesNoCancel, DlgIcon::Question);
}
bool AskOkCancel(const QString& caption, const QString& text) {
    return Message(caption, text, DlgButtons::OkCancel, DlgIcon::Question) == DlgAnswer::Ok;
}
bool AskRetryCancel(const QString& caption, const QString& text) {
    return Message(caption, text, DlgButtons::RetryCancel, DlgIcon::Warning) == DlgAnswer::Retry;
}

QString OpenFile(const QString& caption, const QString& dir, const QString& filter) {
    return backendSlot() ? backendSlot()->OpenFile(caption, dir, filter) : QString();
}
QString SaveFile(const QString& caption, const QString& dir, const QString& filter) {
    return backendSlot() ? backendSlot()->SaveFile(caption, dir, filter) : QString();
}
QString ChooseFolder(const QString& caption, const QString& dir) {
    return backendSlot() ? backendSlot()->ChooseFolder(caption, dir) : QString();
}

}  // namespace Dialogs
