#include "devices/ui/TFbvApp.h"

TFbvApp* FbvApp = nullptr;

TFbvApp::TFbvApp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvApp"));
    setWindowTitle(QStringLiteral("Аппаратные настройки БВ"));
}
