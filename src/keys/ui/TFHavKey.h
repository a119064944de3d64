#pragma once
// The found-keys form `FHavKey`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFHavKey : public QDialog {
    Q_OBJECT
  public:
    explicit TFHavKey(QWidget* parent = nullptr);
};

extern TFHavKey* FHavKey;
