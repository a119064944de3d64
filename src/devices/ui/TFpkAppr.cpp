#include "devices/ui/TFpkAppr.h"

TFpkAppr* FpkAppr = nullptr;

TFpkAppr::TFpkAppr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpkAppr"));
}
