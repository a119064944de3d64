#include "keys/ui/TFHavKey.h"

TFHavKey* FHavKey = nullptr;

TFHavKey::TFHavKey(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FHavKey"));
}
