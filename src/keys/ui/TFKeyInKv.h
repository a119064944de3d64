#pragma once
// The key pour-conditions dialog `FKeyInKv`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFKeyInKv : public QDialog {
    Q_OBJECT
  public:
    explicit TFKeyInKv(QWidget* parent = nullptr);
};

extern TFKeyInKv* FKeyInKv;
