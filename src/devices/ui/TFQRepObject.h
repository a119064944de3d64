#pragma once
// The object report form `FQRepObject`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFQRepObject : public QDialog {
    Q_OBJECT
  public:
    explicit TFQRepObject(QWidget* parent = nullptr);
};

extern TFQRepObject* FQRepObject;
