#include "devices/ui/TFpoAppr.h"

TFpoAppr* FpoAppr = nullptr;

TFpoAppr::TFpoAppr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpoAppr"));
}
