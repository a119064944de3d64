#include "netlink/ui/TFCOM.h"

TFCOM* FCOM = nullptr;

TFCOM::TFCOM(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCOM"));
}
