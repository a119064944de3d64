#pragma once
// "Подъездные параметры  для КМ и БВ": the switch of one entrance (the current
// switch of the switch list) with its type, fill method, handset numbering
// offsets and key slots, and its apartments' terminals in a grid. The work is
// done by EntranceSwitchEditor; the handlers read the controls, call it and
// show what it leaves. Shown without blocking; it follows the switch list
// when it is brought back to the front. Until then it holds the switch it
// shows (the editor writes only that one).

#include "foundation/HeldRows.h"
#include "platform/ui/ElidedLabel.h"
#include "site/EntranceSwitchEditor.h"

#include <QDialog>

class DatasetGrid;
class DatasetModel;
class EnterMovesFocus;
class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TFskEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFskEdit(QWidget* parent = nullptr);

    // The switch shown.
    ElidedLabel* DBTextNet = nullptr;
    ElidedLabel* DBTextHouse = nullptr;
    ElidedLabel* DBTextKodD = nullptr;
    ElidedLabel* DBTextNPod = nullptr;
    ElidedLabel* DBTextNmPod = nullptr;
    ElidedLabel* DBTextVKvr = nullptr;
    ElidedLabel* DBTextN1kvr = nullptr;
    ElidedLabel* DBTextNpkvr = nullptr;
    ElidedLabel* DBTextVDvr = nullptr;
    QLabel* LGates = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    // The apartments.
    DatasetGrid* DBGrid1 = nullptr;
    QToolButton* BitFirst = nullptr;
    QToolButton* BitLast = nullptr;
    // Type, method and numbering.
    QRadioButton* RBType0 = nullptr;
    QRadioButton* RBType1 = nullptr;
    QGroupBox* RGkm = nullptr;
    QRadioButton* RGkm0 = nullptr;
    QRadioButton* RGkm1 = nullptr;
    QLabel* LPr1kv = nullptr;
    QSpinBox* Pr1kv = nullptr;
    QLineEdit* AI = nullptr;
    QSpinBox* AH = nullptr;
    QLineEdit* E_mxl = nullptr;
    QPushButton* BitPorts = nullptr;
    QAction* PMDiap = nullptr;
    // Key slots.
    QSpinBox* KeyDop = nullptr;
    QCheckBox* Ch_dm = nullptr;
    QCheckBox* Ch_pd = nullptr;
    QPushButton* BtnSaveD = nullptr;
    QSpinBox* KeyObs = nullptr;
    QCheckBox* Ch_ob = nullptr;
    QPushButton* BtnSaveO = nullptr;
    // Other forms and closing.
    QPushButton* Bitpk = nullptr;
    QPushButton* Bitkv = nullptr;
    QPushButton* BitDeEdit = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* ButHelp = nullptr;
    QLabel* LAttan = nullptr;
    QLabel* LabWait = nullptr;

    EntranceSwitchEditor& Editor() { return editor_; }
    // The switch shown, with its entrance, house and object.
    const HeldRows& Shown() const { return held_; }

    void FormActivate();
    void ShowEntrance();
    void ConfirmDistribution();
    void RBType0Click();
    void RBType1Click();
    void RGkmClick(int method);
    void Pr1kvExit();
    void AHExit();
    void BitPortsClick();
    void BtnSaveDClick();
    void BtnSaveOClick();
    void BtnUpClick();
    void BtnDownClick();
    void BitFirstClick();
    void BitLastClick();
    void BitpkClick();
    void BitkvClick();
    void BitDeEditClick();
    void ButExitClick();
    void ButHelpClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 232;

    QWidget* buildHeader();
    QWidget* buildGrid();
    QWidget* buildSwitchType();
    QWidget* buildKeySlots();
    QWidget* buildButtons();
    void wireControls();
    void attachGrid();

    qint64 currentSwitch() const;
    void refreshViews();
    void showHeader();
    void showControls();
    void saveChangedSlots();
    void moveSwitch(bool down);
    void typeTerminal(qint64 idKvr, int terminal);

    EntranceSwitchEditor editor_;
    HeldRows held_;
    DatasetModel* model_ = nullptr;
    EnterMovesFocus* enter_ = nullptr;
    QButtonGroup* methods_ = nullptr;
    bool loading_ = false;    // controls set by code
    bool following_ = false;  // catching up with the switch list
    friend class TerminalGridModel;
};

extern TFskEdit* FskEdit;
