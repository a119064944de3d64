#pragma once
// "Аппаратные настройки КМ": the switch values meant for an advanced user,
// the handset blocking times, the buffer edge, the reserve value and the ADC
// thresholds, which stay locked until the access code is typed. The dialog
// stores nothing: the switch editor fills it, shows it modally and saves the
// switch on "Сохранить". "Отмена" puts back the values it was opened with.

#include "devices/SwitchParams.h"

#include <QDialog>

class EnterMovesFocus;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TFpkAppr : public QDialog {
    Q_OBJECT
  public:
    explicit TFpkAppr(QWidget* parent = nullptr);

    QSpinBox* PTTO = nullptr;
    QSpinBox* EDT = nullptr;
    QSpinBox* DET = nullptr;
    QSpinBox* Edge = nullptr;
    QSpinBox* Reserv = nullptr;
    QGroupBox* Panel1 = nullptr;
    QLabel* LTimePass = nullptr;
    QSpinBox* ACP1 = nullptr;
    QSpinBox* ACP2 = nullptr;
    QSpinBox* ACP3 = nullptr;
    QSpinBox* ACP4 = nullptr;
    QLabel* LPass = nullptr;
    QLineEdit* PassEdit = nullptr;
    QPushButton* BitOk = nullptr;
    QPushButton* BitCancel = nullptr;
    QPushButton* MHelp = nullptr;

    // The controls get the dialog's values of p; "Отмена" returns to them.
    void Fill(const SwitchParams& p);
    // The dialog's values into p; the others stay.
    void Values(SwitchParams* p) const;
    bool ThresholdsLocked() const;

    void PassEditKeyUp();
    void MHelpClick();

  protected:
    void reject() override;
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 236;

    QWidget* buildTimeouts();
    QWidget* buildThresholds();
    QSpinBox* addSpin(class QGridLayout* grid, int row, const char* name, const QString& caption,
                      const QString& unit, int max, int value, int step = 1);

    SwitchParams opened_;
    EnterMovesFocus* enter_ = nullptr;
};

extern TFpkAppr* FpkAppr;
