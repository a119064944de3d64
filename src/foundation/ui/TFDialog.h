#pragma once
// The generic Yes/No/Cancel dialog "Диалог". Callers set the question text
// `Answer`, show or hide the number field `VEdit`, run it modally and read the
// answer and the number.

#include "platform/Dialogs.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

class TFDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TFDialog(QWidget* parent = nullptr);

    QLabel* Answer = nullptr;
    QSpinBox* VEdit = nullptr;
    QPushButton* BitYes = nullptr;
    QPushButton* BitNo = nullptr;
    QPushButton* BitCancel = nullptr;
    QPushButton* ButHelp = nullptr;
    QLabel* Warning = nullptr;

    // Shows the dialog modally; Cancel also when the window is closed.
    DlgAnswer ShowModal();
    DlgAnswer Result() const { return result_; }

    static constexpr int kHeightWithNumber = 182;
    static constexpr int kHeightWithoutNumber = 160;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void finishWith(DlgAnswer answer);
    DlgAnswer result_ = DlgAnswer::Cancel;
};

extern TFDialog* FDialog;
