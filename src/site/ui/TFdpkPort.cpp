#include "site/ui/TFdpkPort.h"

TFdpkPort* FdpkPort = nullptr;

TFdpkPort::TFdpkPort(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FdpkPort"));
}
