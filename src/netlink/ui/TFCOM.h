#pragma once
// The COM port list form `FCOM`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFCOM : public QDialog {
    Q_OBJECT
  public:
    explicit TFCOM(QWidget* parent = nullptr);
};

extern TFCOM* FCOM;
