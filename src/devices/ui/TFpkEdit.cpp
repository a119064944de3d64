#include "devices/ui/TFpkEdit.h"

TFpkEdit* FpkEdit = nullptr;

TFpkEdit::TFpkEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpkEdit"));
}
