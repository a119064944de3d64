#include "keys/ui/TFMifare.h"

TFMifare* FMifare = nullptr;

TFMifare::TFMifare(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMifare"));
}
