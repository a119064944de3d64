#pragma once
// "Общие параметры и тракты. Редактирование КМ": one switch at a time, taken
// from the current row of FDM->Q_MNpk when it is shown and held by its keys
// until another is shown; every save writes that switch, its house or its
// object. Its common parameters (kept as a reference to a
// named parameter set), the hardware values behind them (dialog FpkAppr), the
// serial number, the video cut-off for debtors, the names of its melodies and
// the tract panel. Parameters are saved for the switch, its house or the
// object; the arrows move to the previous or next switch.

#include "devices/SwitchParams.h"
#include "foundation/HeldRows.h"
#include "platform/ui/ElidedLabel.h"

#include <QDialog>

class EnterMovesFocus;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class SwitchTractPanel;

class TFpkEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFpkEdit(QWidget* parent = nullptr);

    ElidedLabel* LSwitch = nullptr;  // which switch is shown
    QLineEdit* EName = nullptr;
    QSpinBox* TCM = nullptr;
    QSpinBox* TCL = nullptr;
    QSpinBox* TDL = nullptr;
    QSpinBox* TVC = nullptr;
    QSpinBox* TDX = nullptr;
    QSpinBox* STe3 = nullptr;
    QSpinBox* MTO = nullptr;
    QSpinBox* BTO = nullptr;
    QSpinBox* WAIT = nullptr;
    QLineEdit* E_SN = nullptr;
    QCheckBox* ChVideo = nullptr;
    QSpinBox* E_Video = nullptr;
    ElidedLabel* TxVzv = nullptr;
    ElidedLabel* TxOtz = nullptr;
    QPushButton* BitFindPk = nullptr;
    QPushButton* BitAppr = nullptr;
    QPushButton* BitMel = nullptr;
    QPushButton* BitSavePk = nullptr;
    QPushButton* BitSaveDm = nullptr;
    QPushButton* BitSaveOb = nullptr;
    QPushButton* Bitsp = nullptr;
    QPushButton* Bitkv = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    SwitchTractPanel* Tracts = nullptr;

    // The switch shown, with its entrance, house and object.
    const HeldRows& Shown() const { return held_; }
    // The values of the hardware dialog, as it shows them and the saves store.
    const SwitchParams& DialogValues() const { return params_; }
    bool ParamsChanged() const { return paramsChanged_; }
    // The parameters and the video setting as the controls hold them.
    SwitchParams Params() const;
    SwitchVideo Video() const;

    void FormActivate();
    void LoadParams();
    void BitSavePkClick();
    void SaveForSwitch();
    void BitSaveDmClick();
    void BitSaveObClick();
    void BitFindPkClick();
    void ApplyParamSet();
    void BitApprClick();
    void BitMelClick();
    void E_SNExit();
    void ChVideoClick();
    void BtnUpClick();
    void BtnDownClick();
    void BitspClick();
    void BitkvClick();
    void ButExitClick();
    void ButHelpClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 231;

    QWidget* buildParams();
    QWidget* buildSwitchData();
    QWidget* buildSaves();
    QWidget* buildNavigation();
    QSpinBox* addParam(class QGridLayout* grid, const char* name, const QString& caption,
                       const QString& unit, int min, int value, const QString& hint = {});
    void showParams(const SwitchParams& p);
    void showVideo(const SwitchVideo& video);
    void showMelodies();
    void showEmpty();
    void enableSaves(bool enabled);
    void afterSave(const ParamsSaved& saved);
    void markParamsChanged();
    bool E_SNKeyPress(QChar typed);
    bool leaveSwitch();
    void moveTo(bool next);
    void updateArrows();

    HeldRows held_;
    QString serialShown_;  // as stored when shown or last stored
    SwitchParams params_;  // the dialog's values are kept here
    qint64 idMvv_ = 0;
    qint64 idMot_ = 0;
    bool paramsChanged_ = false;
    bool loading_ = false;
    bool leavingSerial_ = false;
    EnterMovesFocus* enter_ = nullptr;
};

extern TFpkEdit* FpkEdit;
