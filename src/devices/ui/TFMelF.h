#pragma once
// The switch melody form `FMelF`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFMelF : public QDialog {
    Q_OBJECT
  public:
    explicit TFMelF(QWidget* parent = nullptr);
};

extern TFMelF* FMelF;
