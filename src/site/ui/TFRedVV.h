#pragma once
// The repeated call code dialog `FRedVV`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFRedVV : public QDialog {
    Q_OBJECT
  public:
    explicit TFRedVV(QWidget* parent = nullptr);
};

extern TFRedVV* FRedVV;
