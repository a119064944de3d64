#pragma once
// The read-configuration screen (FrRead1): opens one configuration file and
// prints its producer, its date word and every decoded section, or a raw bit
// dump of it. It changes nothing in the database; ConfigReadScreen does the work.

#include "foundation/ui/TScreenFrame.h"

class ConfigFileChooser;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TFrRead : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrRead(QWidget* parent = nullptr);

    QGroupBox* R_Div = nullptr;  // the device kind; item index = kind - 1
    QPushButton* ButBit = nullptr;
    QPushButton* BitClear = nullptr;
    QCheckBox* CB_not = nullptr;
    ConfigFileChooser* ODtxt = nullptr;  // the folder choice and the open dialog
    QRadioButton* RBany = nullptr;
    QRadioButton* RBarm = nullptr;
    QRadioButton* RBnet = nullptr;
    QLineEdit* EIdent = nullptr;
    QSpinBox* jDev = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* ButWrite = nullptr;
    QPushButton* ButRedact = nullptr;

    void PrepareScreen(const QString& dbFolder) override;
    void FormActivate();
    void ButBitClick();
    void BitClearClick();
    void RBClick();

    // The checked item of R_Div, -1 for none.
    int RDivIndex() const;

  private:
    QGroupBox* buildKindGroup();
    QGroupBox* buildMemo(QPlainTextEdit*& memo, const char* name, const QString& title);
    void setRDivIndex(int index);

    QButtonGroup* kinds_ = nullptr;
    QString dbFolder_;
    int shownKind_ = 0;
};
