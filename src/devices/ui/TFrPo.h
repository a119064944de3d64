#pragma once
// The console screen (FrPo1, screen 7): the security-post console of the
// current object (FDM->Q_PO) with its volumes, times, cameras, timeouts,
// slides, serial number and melodies, and the three object-wide settings that
// concern it: the call-back permission, the redirect of calls and the common
// call code of the post.

#include "devices/SecurityPost.h"
#include "foundation/HeldRows.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimeEdit;

class TFrPo : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrPo(QWidget* parent = nullptr);

    // The object.
    QCheckBox* CBOv = nullptr;
    QPushButton* BitSaveObr = nullptr;
    QCheckBox* CBPnp = nullptr;
    QPushButton* BitSavePnp = nullptr;
    QCheckBox* FArc = nullptr;
    QLineEdit* E_pPo = nullptr;
    QPushButton* BitSaveKod = nullptr;
    // The console.
    QSpinBox* E_Vss = nullptr;
    QSlider* T_Vss = nullptr;
    QSpinBox* E_Vmv = nullptr;
    QSlider* T_Vmv = nullptr;
    QTimeEdit* TimeD = nullptr;
    QTimeEdit* TimeN = nullptr;
    QListWidget* ChMs = nullptr;
    QSpinBox* Ncam = nullptr;
    QSpinBox* Scam = nullptr;
    QSpinBox* Rmto = nullptr;
    QSpinBox* Dpto = nullptr;
    QSpinBox* Clha = nullptr;
    QSpinBox* Cldp = nullptr;
    QSpinBox* Talk = nullptr;
    QSpinBox* Frmi = nullptr;
    QLineEdit* Sobj1 = nullptr;
    QLineEdit* Sobj2 = nullptr;
    QLineEdit* Sus1 = nullptr;
    QLineEdit* Sus2 = nullptr;
    QLineEdit* Sus3 = nullptr;
    QLineEdit* Sus4 = nullptr;
    QLineEdit* E_SN = nullptr;
    ElidedLabel* TxVzv = nullptr;
    ElidedLabel* TxOtz = nullptr;
    QPushButton* BitMel = nullptr;
    QPushButton* BitAppr = nullptr;
    QPushButton* BitSavePo = nullptr;
    QLabel* LabelSaving = nullptr;

    void PrepareScreen(const QString& dbFolder) override;
    // Loads the screen for the current object (creating its console row the
    // first time); an object without a console leaves the screen as it was.
    void LoadSecurityPost();
    // Writes the screen's console fields into the console row.
    bool SaveSecurityPost();
    void AdjustSeparatorPosition();
    void BitSavePoClick();
    void BitSaveObrClick();
    void BitSavePnpClick();
    void BitSaveKodClick();
    void CBOvClick();
    void FArcClick();
    void CBPnpClick();
    void BitMelClick();
    void BitApprClick();
    void E_SNExit();

    SecurityPostSettings Settings() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildObjectPane();
    QWidget* buildSignalsPane();
    QWidget* buildTimeoutsPane();
    QWidget* buildTextsPane();
    QWidget* buildMelodyPane();
    void showSettings(const SecurityPostSettings& s);
    void showMelodies(qint64 idMel0, qint64 idMel1);
    qint64 objectId() const;
    void afterObjectWideWrite(DeviceChange done, const QString& error);

    bool leavingSerial_ = false;
    HeldRows held_;  // the object and console row the fields show
};
