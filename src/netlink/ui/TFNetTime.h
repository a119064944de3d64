#pragma once
// The network settings form `FNetTime`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include "foundation/ScreenServices.h"

#include <QDialog>

class TFNetTime : public QDialog {
    Q_OBJECT
  public:
    explicit TFNetTime(QWidget* parent = nullptr);
    ~TFNetTime() override;

  private:
    // Keeps the Net and Log settings read at creation until the form is built.
    PlaceholderNetSettings settings_;
};

extern TFNetTime* FNetTime;
