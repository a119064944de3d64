#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/MainWindowLogic.h"
#include "platform/Dialogs.h"
#include "platform/QtTranslations.h"
#include "platform/SingleInstance.h"
#include "platform/ui/WidgetDialogs.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Another copy running in this session, whatever it shows, keeps this one out.
    SingleInstanceGuard guard;
    if (!guard.Claim()) return 0;

    const auto qtTexts = InstallRussianQtTexts();
    if (!qtTexts) std::fprintf(stderr, "arm: Qt's Russian texts (qtbase_ru) not found\n");
    QApplication::setApplicationName(MainWindowTexts::kApplicationTitle);
    Dialogs::SetApplicationTitle(MainWindowTexts::kApplicationTitle);
    WidgetDialogs dialogs;
    Dialogs::SetBackend(&dialogs);

    AppForms::CreateAll();
    FMainVesk->show();
    const int rc = app.exec();
    AppForms::DestroyAll();
    Dialogs::SetBackend(nullptr);
    return rc;
}
