#include "site/ui/TFObEdit.h"

TFObEdit* FObEdit = nullptr;

TFObEdit::TFObEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FObEdit"));
    setWindowTitle(QStringLiteral("Удаление и выделение объектов"));
}
