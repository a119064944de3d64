#pragma once
// The call-panel recount dialog `FbvReCount`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFbvReCount : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvReCount(QWidget* parent = nullptr);
};

extern TFbvReCount* FbvReCount;
