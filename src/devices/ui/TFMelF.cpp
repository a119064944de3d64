#include "devices/ui/TFMelF.h"

TFMelF* FMelF = nullptr;

TFMelF::TFMelF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelF"));
}
