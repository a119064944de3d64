#pragma once
// "Общие параметры БВ. Редактирование.": one call panel of the current object
// at a time (the current row of FDM->Q_bv), its common and individual
// parameters, door open codes, serial number and hardware settings, and the
// saves for the panel, its entrance, its kind or the whole object, and the
// handset-index recount. The rules are CallPanelEditor's; the form shows its
// view and hands it the operator's changes.

#include "devices/CallPanelEditor.h"
#include "foundation/HeldRows.h"
#include "platform/ui/ElidedLabel.h"

#include <QDialog>

#include <memory>

class DatasetGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

class TFbvEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvEdit(QWidget* parent = nullptr);
    ~TFbvEdit() override;

    ElidedLabel* TxName = nullptr;  // n_bv
    QLabel* TxNumber = nullptr;     // n_nt0
    // Common parameters.
    QSpinBox* SL = nullptr;
    QSpinBox* OT = nullptr;
    QCheckBox* CB01 = nullptr;
    QCheckBox* Bell = nullptr;
    QCheckBox* Auto = nullptr;
    QCheckBox* Nrcs = nullptr;
    QCheckBox* DSoc = nullptr;
    QCheckBox* PH_0 = nullptr;
    QCheckBox* PH_1 = nullptr;
    QCheckBox* Scud = nullptr;
    QCheckBox* FArc = nullptr;
    // Individual parameters.
    QCheckBox* CBkns = nullptr;
    QComboBox* DBkv = nullptr;
    QCheckBox* CBpo = nullptr;
    QLabel* LabelCPK = nullptr;
    QComboBox* CPK = nullptr;
    QLabel* LabelADRCS = nullptr;
    QSpinBox* ADRCS = nullptr;
    QTableWidget* Ocode = nullptr;
    QLineEdit* E_SN = nullptr;
    QPushButton* BitAppr = nullptr;
    // Saves and moves.
    QPushButton* BitSave = nullptr;
    QPushButton* BitSavePk = nullptr;
    QPushButton* BitSaveOb = nullptr;
    QPushButton* BitSaveDm = nullptr;
    QPushButton* BitDeEdit = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* ButHelp = nullptr;
    DatasetGrid* DBGrid1 = nullptr;  // the wired switches (Q_Bpk)
    // The row of Q_MNbv the form returns to when it is shown again; the list
    // screen sets it to 0.
    int SnTag = 0;

    void LoadPanel();
    void BitSaveClick();
    void BitSavePkClick();
    void BitSaveObClick();
    void BitSaveDmClick();
    void BitDeEditClick();
    void BitApprClick();
    void BtnUpClick();
    void BtnDownClick();
    void CBknsClick();
    void CBpoClick();
    void PH_0Click();
    void CPKExit();
    void DBkvExit();
    void E_SNExit();
    void ButExitClick();
    void ButHelpClick();

    // The editor's rules and view (null before a panel was loaded).
    CallPanelEditor* Editor() const { return editor_.get(); }
    // The panel shown and its object, taken when it was loaded.
    const HeldRows& Shown() const { return held_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 241;

    QWidget* buildHeader();
    QWidget* buildCommonPane();
    QWidget* buildIndividualPane();
    QWidget* buildOpenCodes(QWidget* parent);
    QWidget* buildButtons();
    QWidget* buildSwitchGrid();
    void readControls();
    void showView();
    void showSwitchChoice();
    void showHandsetChoice();
    void showOpenCodes();
    void followSwitchInDatasets();
    void showPanel(qint64 idBv);
    void saveCommonParams(bool thisKindOnly, const QString& question);
    static bool refusedAsGone(bool ok, const QString& error);
    void afterBatch();
    bool ocodeKey(QKeyEvent* key);
    void moveToCode(int index);

    std::unique_ptr<CallPanelEditor> editor_;
    HeldRows held_;
    bool ocodeFresh_ = true;  // the next digit replaces the cell
    bool leavingSerial_ = false;
};

extern TFbvEdit* FbvEdit;
