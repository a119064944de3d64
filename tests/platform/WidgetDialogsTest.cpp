#include "platform/QtTranslations.h"
#include "platform/ui/WidgetDialogs.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMap>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace WidgetDialogsTestUnit {
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

TEST(WidgetDialogs, TheFolderAndFileDialogsSpeakRussian) {
    const RussianQtTexts qtTexts;
    ASSERT_TRUE(qtTexts.CatalogueFound())
        << "Qt's translations (qt6-translations-l10n) are not installed";
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

// Whatever the machine's locale, the pickers write sizes, dates and kinds of
// entry in Russian, in columns wide enough to read them.
TEST(WidgetDialogs, ThePickersShowSizesDatesAndKindsInRussian) {
    const QLocale before;
    {
        const RussianQtTexts qtTexts;
        EXPECT_EQ(QLocale().name(), QStringLiteral("ru_RU"));
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Папка БД")));
        QFile file(dir.filePath(QStringLiteral("save.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3000, 'x'));
        ASSERT_TRUE(file.flush());
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(15, 57)),
                                     QFileDevice::FileModificationTime));
        file.close();
        QFile small(dir.filePath(QStringLiteral("cpo00.bin")));
        ASSERT_TRUE(small.open(QIODevice::WriteOnly));
        small.write(QByteArray(428, '\0'));
        small.close();

        WidgetDialogs dialogs;
        QMap<QString, QStringList> rows;
        QStringList tooNarrow;
        whenShown([&](QWidget& picker) {
            auto* view = picker.findChild<QTreeView*>(QStringLiteral("treeView"));
            ASSERT_NE(nullptr, view);
            QAbstractItemModel* model = view->model();
            for (int waited = 0; model->rowCount(view->rootIndex()) < 3 && waited < 5000;
                 waited += 20)
                QTest::qWait(20);
            // Sizes and dates arrive after the names.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
                        if (model->index(r, 3, view->rootIndex()).data().toString().isEmpty())
                            return false;
                    return true;
                },
                10000));
            for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
                QStringList cells;
                for (int c = 0; c < 4; ++c)
                    cells << model->index(r, c, view->rootIndex()).data().toString();
                rows.insert(cells.first(), cells);
                for (int c : {1, 2, 3})
                    if (view->header()->sectionSize(c) <
                        view->fontMetrics().horizontalAdvance(cells[c]) + 8)
                        tooNarrow << cells[c];
            }
            EXPECT_TRUE(picker.screen()->availableGeometry().contains(picker.frameGeometry()));
            SaveScreen(picker, QStringLiteral("file_dialog"));
        });
        dialogs.OpenFile(QStringLiteral("Открыть"), dir.path(), QString());
        ASSERT_EQ(3, rows.size()) << QStringList(rows.keys()).join('|').toStdString();
        const QStringList folder = rows.value(QStringLiteral("Папка БД"));
        const QStringList text = rows.value(QStringLiteral("save.txt"));
        ASSERT_EQ(4, folder.size());
        ASSERT_EQ(4, text.size());
        EXPECT_EQ(folder[2], QStringLiteral("Папка"));
        EXPECT_EQ(text[1], QStringLiteral("2,93 КБ"));
        EXPECT_EQ(rows.value(QStringLiteral("cpo00.bin")).value(1), QStringLiteral("428 байт"));
        EXPECT_EQ(text[3], QStringLiteral("07.12.2026 15:57"));
        EXPECT_FALSE(text[2].contains(QStringLiteral("plain text"))) << text[2].toStdString();
        EXPECT_TRUE(tooNarrow.isEmpty()) << tooNarrow.join('|').toStdString();
    }
    EXPECT_EQ(QLocale(), before) << "the previous locale comes back";
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

// A text that holds what looks like markup (an object's name, a file path)
// is shown character for character.
TEST(WidgetDialogs, AMessageShowsMarkupAsTyped) {
    WidgetDialogs dialogs;
    for (const QString& text :
         {QStringLiteral("Объект <b>Корпус 1</b> не сохранен."),
          QStringLiteral("Файл /tmp/a&lt;b.mdb не является базой данных")}) {
        QString shown;
        whenShown([&](QWidget& box) {
            for (QLabel* l : box.findChildren<QLabel*>())
                if (l->text() == text && l->textFormat() == Qt::PlainText) shown = l->text();
        });
        dialogs.Message(QStringLiteral("Ошибка"), text, DlgButtons::Ok, DlgIcon::Error);
        EXPECT_EQ(text, shown) << text.toStdString();
    }
}
}  // namespace
}  // namespace WidgetDialogsTestUnit
