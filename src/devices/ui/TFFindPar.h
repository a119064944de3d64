#pragma once
// The switch parameter-set picker `FFindPar`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFFindPar : public QDialog {
    Q_OBJECT
  public:
    explicit TFFindPar(QWidget* parent = nullptr);
};

extern TFFindPar* FFindPar;
