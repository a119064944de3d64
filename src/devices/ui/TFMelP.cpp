#include "devices/ui/TFMelP.h"

TFMelP* FMelP = nullptr;

TFMelP::TFMelP(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelP"));
    setWindowTitle(QStringLiteral("Мелодии пульта поста охраны"));
}
