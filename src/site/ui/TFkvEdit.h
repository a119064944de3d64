#pragma once
// The apartment editor `FkvEdit`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFkvEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFkvEdit(QWidget* parent = nullptr);
};

extern TFkvEdit* FkvEdit;
