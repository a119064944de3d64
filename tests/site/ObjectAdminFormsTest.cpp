// The object deletion and split dialog and the raw table viewer as the
// operator uses them: keys, context menu, buttons, questions and messages,
// and a picture of each under build/screens/.

#include "ObjectDeletionFixture.h"
#include "site/ui/TFObEdit.h"
#include "site/ui/TFSvTable.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace ObjectAdminFormsTestUnit {
namespace {

const QString kDeleteCaption = QStringLiteral("Удаление объекта!");
const QString kDeleteQuestion =
    QStringLiteral("Будут удалены все дома и устройства, относящиеся к данному объекту! Удаляем?");
const QString kSplitCaption = QStringLiteral("Запрос на создание БД одного объекта");

class ObjectAdminForms : public ObjectDeletionFixture {
  protected:
    void showObEdit() {
        form_.show();
        QCoreApplication::processEvents();
    }
    // Makes the object current by clicking its row in the list.
    void selectObject(int idNet) {
        for (int row = 0; row < form_.DBGrid1->model()->rowCount(); ++row)
            if (form_.DBGrid1->model()->index(row, 0).data().toInt() == idNet) {
                QTest::mouseClick(
                    form_.DBGrid1->viewport(), Qt::LeftButton, {},
                    form_.DBGrid1->visualRect(form_.DBGrid1->model()->index(row, 2)).center());
                break;
            }
        ASSERT_EQ(idNet, dm_->Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());
    }
    QString splitQuestion(int idNom) {
        return QStringLiteral("Создать новую базу данных в каталоге ") + tdb_.programDir().path() +
               QStringLiteral("DB_ARM%1?").arg(idNom);
    }
    int objects() {
        return Count(dm_->ConnectionDB(), QStringLiteral("SELECT COUNT(*) FROM k_net"));
    }

    TFObEdit form_;
};

TEST_F(ObjectAdminForms, ObjectListShowsTheObjectsWithTheirColumns) {
    showObEdit();
    EXPECT_EQ(QStringLiteral("Удаление и выделение объектов"), form_.windowTitle());
    EXPECT_NEAR(240.0 / 255.0, form_.windowOpacity(), 0.01);
    EXPECT_EQ(QStringLiteral("Удаляться будут все данные объекта: дома, подъезды, и все, "
                             "относящиеся к нему устройства. Удаление производится клавишей "
                             "Delete или контекстным меню."),
              form_.Label1->text());
    QStringList titles;
    for (int c = 0; c < form_.DBGrid1->model()->columnCount(); ++c)
        titles << form_.DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(QStringList({"id_net", "st_net", "ident", "d_beg", "d_net", "v_dom", "v_pod", "v_kal",
                           "adres", "id_nom"}),
              titles);
    EXPECT_EQ(2, form_.DBGrid1->model()->rowCount()) << "the hidden object is not listed";
    EXPECT_EQ(QStringLiteral("Отделить объект"), form_.BitOtdel->text());
    EXPECT_EQ(QStringLiteral("Закрыть"), form_.ButExit->text());
    QStringList menu;
    for (QAction* a : form_.DBGrid1->actions()) menu << a->text();
    EXPECT_EQ(QStringList({"Справка", "Удалить", "Отделить объект"}), menu);
    EXPECT_EQ(QKeySequence(Qt::Key_F5), form_.NReOpen->shortcut());
    EXPECT_EQ(QKeySequence(Qt::Key_F1), form_.NHelp->shortcut());
    form_.resize(820, 300);
    EXPECT_FALSE(SaveScreen(form_, QStringLiteral("FObEdit")).isEmpty());
}

TEST_F(ObjectAdminForms, DeleteKeyAsksAndRemovesOnlyOnYes) {
    showObEdit();
    selectObject(1);
    dialogs_.Expect(kDeleteCaption, kDeleteQuestion, DlgAnswer::No);
    QTest::keyClick(form_.DBGrid1, Qt::Key_Delete);
    EXPECT_EQ(3, objects());

    dialogs_.Expect(kDeleteCaption, kDeleteQuestion, DlgAnswer::Yes);
    QTest::keyClick(form_.DBGrid1, Qt::Key_Delete);
    EXPECT_EQ(2, objects());
    EXPECT_EQ(0, Count(dm_->ConnectionDB(), QStringLiteral("SELECT COUNT(*) FROM k_net WHERE "
                                                           "id_net=1")));
    EXPECT_EQ(1, form_.DBGrid1->model()->rowCount());
    EXPECT_EQ(2, dm_->Q_Net->FieldByName(QStringLiteral("id_net")).AsInt());

    // The last listed object goes by the context menu; then nothing is left.
    dialogs_.Expect(kDeleteCaption, kDeleteQuestion, DlgAnswer::Yes);
    form_.PDel->trigger();
    EXPECT_EQ(0, form_.DBGrid1->model()->rowCount());
    dialogs_.Expect(QStringLiteral("ОШИБКА!"), QStringLiteral("Нет объектов для удаления!"));
    QTest::keyClick(form_.DBGrid1, Qt::Key_Delete);
}

TEST_F(ObjectAdminForms, AFailedDeletionIsShownAndChangesNothing) {
    Exec(
        "CREATE TRIGGER refuse_key_delete BEFORE DELETE ON k_key"
        " BEGIN SELECT RAISE(ABORT, 'keys are locked'); END");
    const QString before = DumpDatabase();
    showObEdit();
    selectObject(1);
    dialogs_.Expect(kDeleteCaption, kDeleteQuestion, DlgAnswer::Yes);
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                              QStringLiteral("Объект не удален, данные остались без изменений."));
    form_.PDel->trigger();
    EXPECT_TRUE(dialogs_.Shown().last().endsWith(
        QStringLiteral("\nЗапись отклонена триггером самого файла базы данных.")))
        << dialogs_.Shown().last().toStdString();
    EXPECT_EQ(before, DumpDatabase());
    EXPECT_EQ(2, form_.DBGrid1->model()->rowCount());
}

TEST_F(ObjectAdminForms, SplitAsksFirstAndAgainBeforeTouchingAnExistingCopy) {
    showObEdit();
    selectObject(1);
    dialogs_.Expect(kSplitCaption, splitQuestion(7), DlgAnswer::No);
    form_.BitOtdel->click();
    EXPECT_FALSE(QFile::exists(tdb_.programDir().path() + "DB_ARM7"));

    dialogs_.Expect(kSplitCaption, splitQuestion(7), DlgAnswer::Yes);
    form_.BitOtdel->click();
    const QString copyFile = tdb_.programDir().path() + "DB_ARM7/db_arm_vesk.mdb";
    ASSERT_TRUE(QFile::exists(copyFile));
    EXPECT_EQ(3, objects()) << "the database in use keeps every object";

    // Again, through the context menu: the existing copy is left alone on No.
    const QByteArray copyBytes = [&] {
        QFile f(copyFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    dialogs_.Expect(kSplitCaption, splitQuestion(7), DlgAnswer::Yes);
    dialogs_.Expect(kSplitCaption,
                    QStringLiteral("В каталоге ") + tdb_.programDir().path() +
                        QStringLiteral("DB_ARM7 уже есть база данных. Удалить из нее данные "
                                       "всех объектов, кроме выделяемого?"),
                    DlgAnswer::No);
    form_.NOtdel->trigger();
    QFile f(copyFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(copyBytes, f.readAll());
}

TEST_F(ObjectAdminForms, SplitFailuresAreReported) {
    showObEdit();
    selectObject(1);
    tdb_.programDir().writeFile(QStringLiteral("DB_ARM7"), "not a folder");
    dialogs_.Expect(kSplitCaption, splitQuestion(7), DlgAnswer::Yes);
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                              QStringLiteral("Не удалось создать копию базы данных в каталоге ") +
                                  tdb_.programDir().path() + QStringLiteral("DB_ARM7."));
    form_.BitOtdel->click();

    selectObject(2);
    Exec(
        "CREATE TRIGGER refuse_apartment_delete BEFORE DELETE ON k_kvr"
        " BEGIN SELECT RAISE(ABORT, 'apartments are locked'); END");
    dialogs_.Expect(kSplitCaption, splitQuestion(8), DlgAnswer::Yes);
    dialogs_.Expect(QStringLiteral("Невозможно !"),
                    QStringLiteral("Призошел сбой при выделении объекта."));
    form_.BitOtdel->click();
    EXPECT_FALSE(QFile::exists(tdb_.programDir().path() + "DB_ARM8/db_arm_vesk.mdb"));
}

TEST_F(ObjectAdminForms, TheDatabaseInUseIsNeverTheSplitTarget) {
    // The engineer works in DB_ARM7 and splits the object numbered 7.
    dm_.reset();
    const QString inUse = tdb_.programDir().file(QStringLiteral("DB_ARM7/db_arm_vesk.mdb"));
    ASSERT_TRUE(QFile::copy(tdb_.dbPath(), inUse));
    dm_ = std::make_unique<TFDM>();
    QString error;
    ASSERT_TRUE(dm_->Connect(inUse, &error)) << error.toStdString();
    ASSERT_TRUE(dm_->OpenAllTables());
    showObEdit();
    selectObject(1);
    dialogs_.Expect(kSplitCaption, splitQuestion(7), DlgAnswer::Yes);
    dialogs_.ExpectContaining(QStringLiteral("Невозможно !"),
                              QStringLiteral("находится база данных, открытая в программе"));
    form_.BitOtdel->click();
    EXPECT_EQ(3, objects());
}

TEST_F(ObjectAdminForms, ReloadReadsTheObjectListAgain) {
    showObEdit();
    Exec("INSERT INTO k_net (ident, st_net) VALUES ('Новый', 'пусто')");
    EXPECT_EQ(2, form_.DBGrid1->model()->rowCount());
    form_.activateWindow();
    QTest::keyClick(form_.DBGrid1, Qt::Key_F5);
    EXPECT_EQ(3, form_.DBGrid1->model()->rowCount());
}

TEST_F(ObjectAdminForms, RawTableViewerShowsEveryObjectsRowsAndChangesNothing) {
    TFSvTable viewer;
    viewer.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(QStringLiteral("Содержание таблиц базы данных"), viewer.windowTitle());
    EXPECT_EQ(QStringLiteral("Закрыть (Esc)"), viewer.ButExit->text());
    QStringList entries;
    for (int i = 0; i < viewer.ListTable->count(); ++i)
        entries << viewer.ListTable->item(i)->text();
    EXPECT_EQ(QStringList({"Объекты", "Дома", "Подъезды", "Квартиры", "КМ", "БВ", "Матрица КМ",
                           "Матрица БВ", "Общие параметры КМ", "Ключи"}),
              entries);
    EXPECT_FALSE(viewer.ATable->IsOpen()) << "closed until an entry is chosen";

    // No entry chosen: the start table, every object, the hidden one too.
    viewer.ListTableClick();
    EXPECT_EQ(3, viewer.DBGrid1->model()->rowCount());

    // "Ключи" by a click: the keys of all objects.
    const QModelIndex keys = viewer.ListTable->model()->index(9, 0);
    QTest::mouseClick(viewer.ListTable->viewport(), Qt::LeftButton, {},
                      viewer.ListTable->visualRect(keys).center());
    EXPECT_EQ(5, viewer.DBGrid1->model()->rowCount());
    EXPECT_GE(viewer.ATable->FieldIndex(QStringLiteral("un_key")), 0);

    // Enter on "Дома"; the grid neither edits nor deletes.
    viewer.ListTable->setCurrentRow(1);
    QTest::keyClick(viewer.ListTable, Qt::Key_Return);
    EXPECT_EQ(3, viewer.DBGrid1->model()->rowCount());
    const QModelIndex cell = viewer.DBGrid1->model()->index(0, 1);
    EXPECT_FALSE(viewer.DBGrid1->model()->flags(cell) & Qt::ItemIsEditable);
    viewer.DBGrid1->setCurrentIndex(cell);
    QTest::keyClick(viewer.DBGrid1, Qt::Key_Delete);
    EXPECT_EQ(3, Count(dm_->ConnectionDB(), QStringLiteral("SELECT COUNT(*) FROM k_dom")));

    viewer.ListTable->setCurrentRow(3);
    viewer.ListTableClick();
    viewer.resize(1000, 480);
    EXPECT_FALSE(SaveScreen(viewer, QStringLiteral("FSvTable")).isEmpty());
}
}  // namespace
}  // namespace ObjectAdminFormsTestUnit
