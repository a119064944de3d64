#include "foundation/ui/TFMainVesk.h"
#include "platform/Dialogs.h"
#include "platform/ui/WidgetDialogs.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString title = QStringLiteral("АРМ сервис APM ZAZ-Kiro-2");
    QApplication::setApplicationName(title);
    Dialogs::SetApplicationTitle(title);
    WidgetDialogs dialogs;
    Dialogs::SetBackend(&dialogs);

    FMainVesk = new TFMainVesk;
    FMainVesk->show();
    const int rc = app.exec();
    delete FMainVesk;
    Dialogs::SetBackend(nullptr);
    return rc;
}
