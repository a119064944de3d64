#include "foundation/ui/TFGlVal.h"

TFGlVal* FGlVal = nullptr;

TFGlVal::TFGlVal(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FGlVal"));
    setWindowTitle(QStringLiteral("Глобальные переменные"));
}
