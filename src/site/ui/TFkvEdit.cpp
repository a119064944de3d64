#include "site/ui/TFkvEdit.h"

TFkvEdit* FkvEdit = nullptr;

TFkvEdit::TFkvEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FkvEdit"));
    setWindowTitle(QStringLiteral("Коды вызова квартир и трубки"));
}
