#include "devices/ui/TFbvEdit.h"

TFbvEdit* FbvEdit = nullptr;

TFbvEdit::TFbvEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvEdit"));
}
