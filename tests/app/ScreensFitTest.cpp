// The whole program on the reference object, on the screen the README starts
// it on: every screen of the main window and every form can be used there,
// nothing lies past the edge of the screen or of its window.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/TFrRedact.h"
#include "config/ui/TFrWrite.h"
#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "site/ui/TFObEdit.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace ScreensFitTestUnit {
namespace {

// Whether the whole of w is on view: not cut off by any widget it stands in,
// scroll areas included.
bool ShownWhole(const QWidget* w) {
    const QWidget* window = w->window();
    QRect room = window->rect();
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        room &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return w->isVisible() && room.contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size()));
}

QString Numbered(int screen) {
    return QStringLiteral("%1").arg(screen, 2, 10, QLatin1Char('0'));
}

class ProgramOnTheTestScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = DatabaseFolder();
        if (folder_ != db_.dbDir()) {
            ASSERT_TRUE(QDir().mkpath(folder_));
            ASSERT_TRUE(QFile::rename(db_.dbPath(), folder_ + QStringLiteral("db_arm_vesk.mdb")));
        }
        db_.programDir().writeFile(
            QStringLiteral("Ini/save.ini"),
            (QStringLiteral("[Object]\nnf=1\n[Dir]\nbd=") + folder_ + QLatin1Char('\n')).toUtf8());
        AppForms::CreateAll();
        ASSERT_TRUE(FMainVesk);
        ASSERT_TRUE(FDM && FDM->Connected()) << "the program did not open its new database";
        ReferenceObject reference;
        ASSERT_TRUE(reference.Build(ReferenceStep::DeviceRecords))
            << reference.Error().toStdString();
        idNet_ = reference.IdNet();
        // Where a window manager puts a new window: in the middle of the screen.
        QRect frame = FMainVesk->frameGeometry();
        frame.moveCenter(QApplication::primaryScreen()->availableGeometry().center());
        FMainVesk->move(frame.topLeft());
        FMainVesk->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        AppForms::DestroyAll();
        Hooks() = savedHooks_;
        Globals() = savedGlobals_;
    }

    TFMainVesk& Window() { return *FMainVesk; }
    // The database folder the program works in, with a trailing '/'.
    virtual QString DatabaseFolder() { return db_.dbDir(); }

    // The window as it stands, then each page of each of its tab widgets.
    void ExpectEveryPageFits(QWidget* window, const QString& name) {
        ExpectFits(window, name);
        OnEveryOtherPage(window, [&](QTabWidget* tabs, int page) {
            ExpectFits(window,
                       name + QLatin1Char('_') + tabs->objectName() + QString::number(page));
        });
    }
    void ExpectFits(QWidget* window, const QString& name) {
        ExpectFitsTheScreen(window, name);
        EXPECT_GT(ExpectNamedControlsVisible(window, name), 0) << name.toStdString();
        EXPECT_FALSE(SaveScreen(*window, name).isEmpty());
    }

    void OpenScreen(int screen) {
        Window().ShowScreen(screen);
        QCoreApplication::processEvents();
        ASSERT_EQ(screen, Window().VisibleScreen());
    }

    // The write screen builds every device's file; the editor opens the
    // file of the first door panel.
    void OpenPanelFileInTheEditor() {
        OpenScreen(10);
        auto* write = qobject_cast<TFrWrite*>(Window().FrWrite1);
        ASSERT_TRUE(write);
        write->N_allClick();
        write->BitCreateClick();
        OpenScreen(13);
        auto* editor = qobject_cast<TFrRedact*>(Window().FrRedact1);
        ASSERT_TRUE(editor);
        const QString file = folder_ + QStringLiteral("Data/FlWrite/Fl_%1/cbv02.bin").arg(idNet_);
        ASSERT_TRUE(QFile::exists(file)) << file.toStdString();
        ScriptedDialogs picker;
        picker.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), file);
        editor->ButBit->click();
        QCoreApplication::processEvents();
        ASSERT_EQ(file, editor->LFile1->text());
    }

    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
    // Every screen of the main window, then the editor with a file open.
    void ExpectEveryScreenFits(const QString& prefix) {
        ASSERT_EQ(kTestScreen, QApplication::primaryScreen()->size());
        for (int screen : {1, 2, 3, 6, 7, 4, 5, 9, 10, 11, 12, 13, 14}) {
            OpenScreen(screen);
            ExpectEveryPageFits(&Window(), prefix + QStringLiteral("screen%1_").arg(Numbered(screen)) +
                                               Window().FrameOfScreen(screen)->objectName());
        }
        Window().ShowScreen(0);
        ExpectFits(&Window(), prefix + QStringLiteral("screen00_menu"));
        OpenPanelFileInTheEditor();
        ExpectEveryPageFits(&Window(), prefix + QStringLiteral("screen13_FrRedact1_panel_file"));
    }

    TestDatabase db_;
    ScriptedDialogs dialogs_;
    QString folder_;
    qint64 idNet_ = 0;
};

// The database kept deep in the engineer's folders: the paths the screens
// show take the room there is, never more.
class ProgramInADeepFolder : public ProgramOnTheTestScreen {
  protected:
    QString DatabaseFolder() override {
        QString folder = db_.programDir().path();
        for (int i = 1; i <= 6; ++i)
            folder += QStringLiteral("Папка объектов обслуживания номер %1/").arg(i);
        return folder;
    }
};

TEST_F(ProgramInADeepFolder, EveryScreenFits) {
    ASSERT_GT(folder_.size(), 200);
    ExpectEveryScreenFits(QStringLiteral("deep_folder_"));
}

TEST_F(ProgramOnTheTestScreen, EveryScreenOfTheMainWindowFits) {
    ExpectEveryScreenFits(QString());
}

TEST_F(ProgramOnTheTestScreen, TheEditorShowsItsSaveButtonWithACallPanelFileOpen) {
    OpenPanelFileInTheEditor();
    auto* editor = qobject_cast<TFrRedact*>(Window().FrRedact1);
    ExpectFits(&Window(), QStringLiteral("screen13_FrRedact1_panel_file"));
    EXPECT_TRUE(ShownWhole(editor->TabCBV1->BitSaveBv));
    EXPECT_TRUE(ShownWhole(editor->Memo4));
    EXPECT_TRUE(ShownWhole(Window().BitBack2));
    EXPECT_TRUE(ShownWhole(Window().BitForward2));
    // The service tab too, which a click on its caption shows.
    QTest::mouseClick(editor->StaticText2, Qt::LeftButton);
    ASSERT_TRUE(editor->PageFile->isTabVisible(editor->PageFile->indexOf(editor->Sys)));
    ExpectEveryPageFits(&Window(), QStringLiteral("screen13_FrRedact1_panel_file"));
    // The screens after it keep to the screen too.
    OpenScreen(12);
    ExpectFits(&Window(), QStringLiteral("screen12_after_the_editor"));
}

TEST_F(ProgramOnTheTestScreen, TheObjectDeletionDialogFits) {
    OpenScreen(1);
    QTimer::singleShot(0, FObEdit, [this] {
        ExpectEveryPageFits(FObEdit, QStringLiteral("screen08_FObEdit"));
        FObEdit->reject();
    });
    Window().ShowScreen(8);
}

// Every form the program makes at start, shown on the reference object.
TEST_F(ProgramOnTheTestScreen, EveryFormFits) {
    OpenScreen(5);
    const QStringList notWindows = {QStringLiteral("FDM"), QStringLiteral("FMainVesk"),
                                    QStringLiteral("FQRepObject")};
    for (const QString& name : AppForms::CreationOrder()) {
        if (notWindows.contains(name)) continue;
        QWidget* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name) form = w;
        ASSERT_TRUE(form) << name.toStdString();
        form->show();
        QCoreApplication::processEvents();
        // The console's glyph panel folds to its first row on purpose.
        if (auto* glyphs = form->findChild<QPushButton*>(QStringLiteral("BitKod"))) glyphs->click();
        ExpectEveryPageFits(form, name);
        form->hide();
    }
}

namespace {

// The object report's preview, opened as the object screen's menu opens it.
QPrintPreviewDialog* ObjectReportPreview() {
    FMainVesk->MenuItem(QStringLiteral("NObPrint"))->trigger();
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) return p;
    return nullptr;
}

}  // namespace

TEST_F(ProgramOnTheTestScreen, TheObjectReportPreviewFits) {
    QPrintPreviewDialog* preview = ObjectReportPreview();
    ASSERT_TRUE(preview);
    ExpectFitsTheScreen(preview, QStringLiteral("FQRepObject_preview"));
    EXPECT_FALSE(SaveScreen(*preview, QStringLiteral("FQRepObject_preview")).isEmpty());
    preview->close();
}

// The report printed from its preview into a PDF file, as the program shows
// it from the object screen: the old file is replaced whole, nothing is left
// beside it.
TEST_F(ProgramOnTheTestScreen, TheObjectReportPrintsIntoAFileWhole) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("объект.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("%PDF-1.4 last week's report\n");
    old.close();
    QPrintPreviewDialog* preview = ObjectReportPreview();
    ASSERT_TRUE(preview);
    preview->printer()->setOutputFormat(QPrinter::PdfFormat);
    preview->printer()->setOutputFileName(path);
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_TRUE(pages);
    pages->updatePreview();
    pages->print();
    preview->close();
    QFile printed(path);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    const QByteArray bytes = printed.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_EQ(QStringList{QStringLiteral("объект.pdf")},
              QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(ProgramOnTheTestScreen, TheDefaultWindowSizeComesBackOnTheScreen) {
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    auto restore = [this] {
        dialogs_.Expect(
            QStringLiteral("Подтверждение"),
            QStringLiteral("Восстановить внешний вид программы в первоначальное состояние?"),
            DlgAnswer::Yes);
        Window().MenuItem(QStringLiteral("MServIni"))->trigger();
        QCoreApplication::processEvents();
    };
    OpenScreen(1);
    Window().showMaximized();
    QCoreApplication::processEvents();
    restore();
    EXPECT_FALSE(Window().isMaximized());
    EXPECT_EQ(QSize(800, 595), Window().size());
    EXPECT_LE((Window().frameGeometry().center() - area.center()).manhattanLength(), 2);

    // The entrance screen needs a wider window than that: it keeps the width
    // it needs, and the whole of it is on the screen, wherever it stood.
    OpenScreen(3);
    Window().move(area.right() - 100, area.bottom() - 100);
    QCoreApplication::processEvents();
    restore();
    EXPECT_EQ(595, Window().height());
    EXPECT_EQ(Window().minimumWidth(), Window().width());
    EXPECT_GT(Window().width(), 800);
    EXPECT_TRUE(area.contains(Window().frameGeometry()));
    EXPECT_EQ(Globals().WidthMain, Window().width());
}
}  // namespace
}  // namespace ScreensFitTestUnit
