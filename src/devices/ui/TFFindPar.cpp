#include "devices/ui/TFFindPar.h"

TFFindPar* FFindPar = nullptr;

TFFindPar::TFFindPar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FFindPar"));
}
