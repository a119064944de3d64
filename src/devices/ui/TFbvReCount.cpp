#include "devices/ui/TFbvReCount.h"

TFbvReCount* FbvReCount = nullptr;

TFbvReCount::TFbvReCount(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvReCount"));
}
