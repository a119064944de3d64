#include "site/ui/TFSvTable.h"

TFSvTable* FSvTable = nullptr;

TFSvTable::TFSvTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FSvTable"));
}
