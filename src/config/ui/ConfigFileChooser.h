#pragma once
// The folder choice and the open dialog the read screen and the editor share:
// three radio buttons ("Любой файл", "Созданный в АРМе", "Считанный с СУ")
// and the dialog's start folder, which is worked out again after any of the
// buttons is clicked.

#include "config/ConfigFolders.h"

#include <QGroupBox>

class QRadioButton;

class ConfigFileChooser : public QGroupBox {
    Q_OBJECT
  public:
    explicit ConfigFileChooser(QWidget* parent = nullptr);

    QRadioButton* RBany = nullptr;
    QRadioButton* RBarm = nullptr;
    QRadioButton* RBnet = nullptr;

    ConfigFolderChoice Choice() const;
    // The dialog's start folder; blank until the next choice works it out.
    QString InitialDir() const { return initialDir_; }
    // RBClick: the start folder is worked out again at the next choice.
    void Reset() { initialDir_.clear(); }

    // Runs the open dialog and returns the file chosen, empty when cancelled.
    // A blank start folder becomes the folder of the choice under dbFolder
    // (created when missing) for the current object; the title then names
    // the choice when describe is set ("Открыть созданный в АРМЕ КФ").
    QString Choose(const QString& dbFolder, bool describe);

  private:
    QString initialDir_;
};
