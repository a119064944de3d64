#pragma once
// Message boxes and file pickers with Russian button texts.

#include "platform/Dialogs.h"

#include <memory>

class QFileDialog;

class WidgetDialogs : public DialogBackend {
  public:
    DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons,
                      DlgIcon icon) override;
    QString OpenFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString SaveFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString ChooseFolder(const QString& caption, const QString& dir) override;

    // Qt's file dialog as the pickers show it: sizes and dates in the
    // program's locale, their columns wide enough to read.
    static std::unique_ptr<QFileDialog> MakePicker(const QString& caption, const QString& dir,
                                                   const QString& filter);

  private:
    static QString chosenPath(QFileDialog& picker);
};
