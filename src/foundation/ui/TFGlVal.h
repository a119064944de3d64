#pragma once
// The global parameters form `FGlVal`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFGlVal : public QDialog {
    Q_OBJECT
  public:
    explicit TFGlVal(QWidget* parent = nullptr);
};

extern TFGlVal* FGlVal;
