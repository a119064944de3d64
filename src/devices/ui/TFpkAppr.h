#pragma once
// The switch hardware settings dialog `FpkAppr`. It exists from start-up as a named global
// instance; its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFpkAppr : public QDialog {
    Q_OBJECT
  public:
    explicit TFpkAppr(QWidget* parent = nullptr);
};

extern TFpkAppr* FpkAppr;
