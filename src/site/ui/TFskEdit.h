#pragma once
// The entrance switch parameters editor `FskEdit`. It exists from start-up as a named global
// instance; its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFskEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFskEdit(QWidget* parent = nullptr);
};

extern TFskEdit* FskEdit;
