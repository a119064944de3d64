#pragma once
// "Условия расчета индексов трубок": the mode of the handset-index recount.
// Modal: "Пересчитать" accepts, "Отмена" rejects; the editor reads ChosenMode().

#include "devices/HandsetIndex.h"

#include <QDialog>

#include <optional>

class QPushButton;
class QRadioButton;

class TFbvReCount : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvReCount(QWidget* parent = nullptr);

    QRadioButton* CB_Kons = nullptr;
    QRadioButton* CB_KnPo = nullptr;
    QRadioButton* CB_ppo = nullptr;
    QRadioButton* CB_null = nullptr;
    QPushButton* BitOk = nullptr;
    QPushButton* BitCancel = nullptr;

    // No choice checked, the console choice only with a console.
    void FormActivate();
    // The checked choice's mode; none when nothing is checked.
    std::optional<HandsetIndexMode> ChosenMode() const;

  protected:
    void showEvent(QShowEvent* event) override;
};

extern TFbvReCount* FbvReCount;
