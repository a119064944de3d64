#include "site/ui/TFskEdit.h"

TFskEdit* FskEdit = nullptr;

TFskEdit::TFskEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FskEdit"));
}
