#pragma once
// The main window: hosts the work screens, one at a time.

#include <QMainWindow>

class TFMainVesk : public QMainWindow {
    Q_OBJECT
public:
    explicit TFMainVesk(QWidget* parent = nullptr);
};

extern TFMainVesk* FMainVesk;
