#pragma once
// The call-panel editor `FbvEdit`. It exists from start-up as a named global instance;
// its controls and behaviour come with the screen it belongs to.

#include <QDialog>

class TFbvEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TFbvEdit(QWidget* parent = nullptr);
};

extern TFbvEdit* FbvEdit;
