#pragma once
// The object deletion and split dialog `FObEdit`. It exists from start-up as a named global
// instance; its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFObEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFObEdit(QWidget* parent = nullptr);
};

extern TFObEdit* FObEdit;
