#pragma once
// Message boxes and file pickers with Russian button texts.

#include "platform/Dialogs.h"

class WidgetDialogs : public DialogBackend {
  public:
    DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons,
                      DlgIcon icon) override;
    QString OpenFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString SaveFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString ChooseFolder(const QString& caption, const QString& dir) override;
};
