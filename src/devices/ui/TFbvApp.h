#pragma once
// "Аппаратные настройки БВ": the four hardware fields of the current call panel
// (FDM->Q_bv), the key filter and the level timeout behind the access code.
// Modal: "Сохранить" accepts, "Отмена" rejects; the editor writes Values().

#include "devices/CallPanel.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

class TFbvApp : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvApp(QWidget* parent = nullptr);

    QWidget* PanelProtected = nullptr;
    QSpinBox* KFilt = nullptr;
    QSpinBox* BlatoBv = nullptr;
    QCheckBox* Reserv = nullptr;
    QSpinBox* ReservKey = nullptr;
    QLabel* LabelPass = nullptr;
    QLineEdit* PassEdit = nullptr;
    QPushButton* BitSave = nullptr;
    QPushButton* BitCancel = nullptr;
    QPushButton* ButHelp = nullptr;

    // Loads the current panel's four fields.
    void FormActivate();
    void PassEditKeyUp();
    void ButHelpClick();
    PanelHardware Values() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 243;
};

extern TFbvApp* FbvApp;
