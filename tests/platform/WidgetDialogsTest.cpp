#include "platform/QtTranslations.h"
#include "platform/ui/WidgetDialogs.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Runs inspect on the modal dialog once it shows, then closes it.
void whenShown(const std::function<void(QWidget&)>& inspect) {
    QTimer::singleShot(0, [inspect] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(nullptr, dialog);
        inspect(*dialog);
        dialog->close();
    });
}

QStringList visibleButtonTexts(QWidget& dialog) {
    QStringList texts;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty()) texts << b->text();
    return texts;
}

}  // namespace

TEST(WidgetDialogs, TheFolderAndFileDialogsSpeakRussian) {
    const auto qtTexts = InstallRussianQtTexts();
    ASSERT_NE(nullptr, qtTexts) << "Qt's translations (qt6-translations-l10n) are not installed";
    QTemporaryDir dir;
    WidgetDialogs dialogs;
    QStringList buttons, labels;
    whenShown([&](QWidget& picker) {
        buttons = visibleButtonTexts(picker);
        for (QLabel* l : picker.findChildren<QLabel*>())
            if (l->isVisible()) labels << l->text();
        EXPECT_EQ(QStringLiteral("Выберите папку с БД"), picker.windowTitle());
        SaveScreen(picker, QStringLiteral("folder_dialog"));
    });
    EXPECT_EQ(QString(), dialogs.ChooseFolder(QStringLiteral("Выберите папку с БД"), dir.path()));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Выбрать"))) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Отмена"))) << buttons.join('|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Каталог:"))) << labels.join('|').toStdString();

    whenShown([&](QWidget& picker) { buttons = visibleButtonTexts(picker); });
    EXPECT_EQ(QString(), dialogs.OpenFile(QStringLiteral("Открыть"), dir.path(), QString()));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Открыть"))) << buttons.join('|').toStdString();
}

TEST(WidgetDialogs, AnErrorShowsItsReasonOnTheSecondLine) {
    WidgetDialogs dialogs;
    const QString text = QStringLiteral(
        "Ошибка открытия БД /home/engineer/arm/DB_ARM/!\n"
        "Файл /home/engineer/arm/DB_ARM/db_arm_vesk.mdb не является базой данных");
    QString shown;
    whenShown([&](QWidget& box) {
        auto* message = qobject_cast<QMessageBox*>(&box);
        ASSERT_NE(nullptr, message);
        shown = message->text();
        EXPECT_EQ(QStringList({QStringLiteral("OK")}), visibleButtonTexts(box));
        SaveScreen(box, QStringLiteral("open_error"));
    });
    EXPECT_EQ(DlgAnswer::Ok,
              dialogs.Message(QStringLiteral("Ошибка"), text, DlgButtons::Ok, DlgIcon::Error));
    EXPECT_EQ(text, shown);
}
