#include "foundation/ui/MainWindowHost.h"

#include <QWidget>

namespace {
MainWindowHost* mainHost = nullptr;
}

MainWindowHost* HostOf(const QWidget* widget) {
    return widget ? dynamic_cast<MainWindowHost*>(widget->window()) : nullptr;
}

MainWindowHost* MainHost() {
    return mainHost;
}

void SetMainHost(MainWindowHost* host) {
    mainHost = host;
}
