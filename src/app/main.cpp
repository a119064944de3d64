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
    const RussianQtTexts qtTexts;
    if (!qtTexts.CatalogueFound())
        std::fprintf(stderr, "arm: Qt's Russian texts (qtbase_ru) not found\n");
    QApplication::setApplicationName(MainWindowTexts::kApplicationTitle);
    Dialogs::SetApplicationTitle(MainWindowTexts::kApplicationTitle);
    WidgetDialogs dialogs;
    Dialogs::SetBackend(&dialogs);

    // Another copy running in this session, whatever it shows, keeps this one
    // out; it brings its window to the front, or the operator is told.
    SingleInstanceGuard guard;
    if (!guard.Claim()) {
        if (!SingleInstanceGuard::AskRunningToShow())
            Dialogs::Message(MainWindowTexts::kAttention, MainWindowTexts::kAlreadyRunning,
                             DlgButtons::Ok, DlgIcon::Information);
        Dialogs::SetBackend(nullptr);
        return 0;
    }

    // Asked also while start-up still shows its messages.
    QObject::connect(&guard, &SingleInstanceGuard::ShowRequested, [] {
        if (FMainVesk) FMainVesk->BringToFront();
    });
    AppForms::CreateAll();
    FMainVesk->show();
    const int rc = app.exec();
    AppForms::DestroyAll();
    Dialogs::SetBackend(nullptr);
    return rc;
}
