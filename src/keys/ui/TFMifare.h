#pragma once
// The key-reader console `FMifare`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFMifare : public QDialog {
    Q_OBJECT
  public:
    explicit TFMifare(QWidget* parent = nullptr);
};

extern TFMifare* FMifare;
