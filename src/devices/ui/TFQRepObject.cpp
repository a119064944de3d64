#include "devices/ui/TFQRepObject.h"

TFQRepObject* FQRepObject = nullptr;

TFQRepObject::TFQRepObject(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FQRepObject"));
}
