#pragma once
// "Условия заливки ключей в квартиры подъезда" (FKeyInKv): which source
// indexes of a door panel's dump go to which apartments of the entrance, or
// to its common keys. The fields and their rules are KeyPourConditions; the
// dialog shows them and passes the operator's changes on. It writes nothing:
// the caller reads the ranges after "Записать".

#include "keys/KeyPourConditions.h"
#include "platform/ui/ElidedLabel.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TFKeyInKv : public QDialog {
    Q_OBJECT
  public:
    explicit TFKeyInKv(QWidget* parent = nullptr);

    QGroupBox* PanelFile = nullptr;
    QGroupBox* PanelPod = nullptr;
    QLabel* LKolIndIsx = nullptr;
    QLabel* LKolKeys = nullptr;
    QSpinBox* KolIndIsx = nullptr;
    QSpinBox* KolKeys = nullptr;
    QSpinBox* Ind_1 = nullptr;
    QSpinBox* Ind_po = nullptr;
    QSpinBox* KolIndItog = nullptr;
    QSpinBox* KolKvIsx = nullptr;
    QSpinBox* Kv_n1 = nullptr;
    QSpinBox* Kv_np = nullptr;
    QSpinBox* KolKvItog = nullptr;
    QSpinBox* Kv_c = nullptr;
    QSpinBox* Kv_po = nullptr;
    ElidedLabel* KvEn1 = nullptr;
    ElidedLabel* KvEnp = nullptr;
    QCheckBox* CBOb = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QAction* NHelp = nullptr;
    QAction* NReOpen = nullptr;

    KeyPourConditions Conditions;

    // The caller's values, set before the dialog is shown.
    void SetSource(int indexCount, int keyCount, int firstIndex);

    void FormActivate();
    void CBObClick();
    void Ind_poExit();
    void OKBtnClick();
    void CancelBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    static constexpr int kHelpTopic = 304;

    QSpinBox* valueField(const char* name, bool editable);
    void buildFilePanel();
    void buildEntrancePanel();
    void showMode();
    void showFields();
    void fieldEdited(PourField field, int value);

    QSpinBox* fields_[KeyPourConditions::kFieldCount] = {};
    bool showing_ = false;
};

extern TFKeyInKv* FKeyInKv;
