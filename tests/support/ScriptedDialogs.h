#pragma once
// The dialog service's test double. Each expected dialog is listed with its
// caption, text and answer; a dialog the script does not expect, or an
// expected one that never appears, fails the test.

#include "platform/Dialogs.h"

#include <QList>

#include <functional>

class ScriptedDialogs : public DialogBackend {
  public:
    ScriptedDialogs();   // installs itself
    ~ScriptedDialogs();  // uninstalls and checks that nothing is left

    // A message box with exactly this caption and text, answered with answer.
    ScriptedDialogs& Expect(const QString& caption, const QString& text,
                            DlgAnswer answer = DlgAnswer::Ok);
    // A message box whose text contains the given part.
    ScriptedDialogs& ExpectContaining(const QString& caption, const QString& textPart,
                                      DlgAnswer answer = DlgAnswer::Ok);
    // A file or folder picker with this caption, answered with path ("" cancels).
    ScriptedDialogs& ExpectPicker(const QString& caption, const QString& path);
    // Runs look while the dialog expected last is open, before it is answered:
    // to see what the screen shows under it.
    ScriptedDialogs& WhenShown(std::function<void()> look);

    // From now on a message box the script does not expect is no failure:
    // it is answered No, Ok or Cancel, as its buttons allow (a picker is
    // cancelled), and listed in Shown(). For sweeps over hostile data, where what a screen asks is
    // not the point.
    ScriptedDialogs& AllowUnexpected() {
        allowUnexpected_ = true;
        return *this;
    }

    // Messages shown so far, as "caption|text".
    const QStringList& Shown() const { return shown_; }
    // The folders the file and folder pickers started in, in order.
    const QStringList& PickerFolders() const { return pickerFolders_; }
    int Pending() const { return int(script_.size()); }
    // Fails the test for every expected dialog not shown yet, and clears them.
    void VerifyDone();

    DlgAnswer Message(const QString& caption, const QString& text, DlgButtons buttons,
                      DlgIcon icon) override;
    QString OpenFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString SaveFile(const QString& caption, const QString& dir, const QString& filter) override;
    QString ChooseFolder(const QString& caption, const QString& dir) override;

  private:
    struct Step {
        bool picker = false;
        bool partial = false;
        QString caption;
        QString text;
        DlgAnswer answer = DlgAnswer::Ok;
        QString path;
        std::function<void()> look;
    };
    QString picker(const QString& caption);

    QList<Step> script_;
    QStringList shown_;
    QStringList pickerFolders_;
    DialogBackend* previous_ = nullptr;
    bool allowUnexpected_ = false;
};
