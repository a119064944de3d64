#pragma once
// The terminal distribution rule dialog `FdpkPort`. It exists from start-up as a named global
// instance; its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFdpkPort : public QDialog {
    Q_OBJECT
  public:
    explicit TFdpkPort(QWidget* parent = nullptr);
};

extern TFdpkPort* FdpkPort;
