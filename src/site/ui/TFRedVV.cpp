#include "site/ui/TFRedVV.h"

TFRedVV* FRedVV = nullptr;

TFRedVV::TFRedVV(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRedVV"));
    setWindowTitle(QStringLiteral("Исправление кода вызова"));
}
