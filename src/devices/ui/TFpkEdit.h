#pragma once
// The switch editor `FpkEdit`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFpkEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFpkEdit(QWidget* parent = nullptr);
};

extern TFpkEdit* FpkEdit;
