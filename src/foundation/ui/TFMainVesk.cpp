#include "foundation/ui/TFMainVesk.h"

TFMainVesk* FMainVesk = nullptr;

TFMainVesk::TFMainVesk(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FMainVesk"));
    setWindowTitle(QStringLiteral("APM ZAZ-Kiro-2"));
    resize(1024, 700);
}
