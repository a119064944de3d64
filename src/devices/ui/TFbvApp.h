#pragma once
// The call-panel hardware dialog `FbvApp`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFbvApp : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvApp(QWidget* parent = nullptr);
};

extern TFbvApp* FbvApp;
