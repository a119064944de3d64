#pragma once
// The console melody form `FMelP`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFMelP : public QDialog {
    Q_OBJECT
  public:
    explicit TFMelP(QWidget* parent = nullptr);
};

extern TFMelP* FMelP;
