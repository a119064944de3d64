#pragma once
// The raw table viewer `FSvTable`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFSvTable : public QDialog {
    Q_OBJECT
  public:
    explicit TFSvTable(QWidget* parent = nullptr);
};

extern TFSvTable* FSvTable;
