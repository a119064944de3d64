#include "keys/ui/TFKeyInKv.h"

TFKeyInKv* FKeyInKv = nullptr;

TFKeyInKv::TFKeyInKv(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FKeyInKv"));
}
