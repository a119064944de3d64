// A screen that is only shown writes nothing. Every screen of the main
// window, each of its modes, and every form the screens and the menu open,
// shown on the reference object: the database file stays byte for byte as it
// was, and where the file cannot be written (a read-only medium) each shows
// without a box. Only an operator's write then says the file is read-only.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "config/ui/TFrWrite.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFrPo.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFrKeys.h"
#include "site/MatrixRules.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFskEdit.h"
#include "support/ProgramRoads.h"
#include "support/ReadOnlyPath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

const QString kReadOnly = QStringLiteral("только для чтения");

// One way the operator shows something: what it is, and the steps.
struct Shown {
    QString what;
    std::function<void()> show;
};

// One operator's write on a screen, and the caption of the box it meets.
struct Write {
    const char* what;
    int screen;
    QStringList questions;  // caption, text, ... each answered Yes
    std::function<void()> press;
    QString caption;
};

class ShowingWritesNothing : public ProgramRoads {
  protected:
    QByteArray FileBytes() const {
        QFile f(database_.dbPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The database file's bytes and what its folder holds: the folders and
    // files a screen might make there count as writes too.
    QByteArray Stored() const {
        QByteArray all = FileBytes();
        QDirIterator it(database_.dbDir(), QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QStringList names;
        while (it.hasNext()) names << it.next();
        names.sort();
        return all + names.join(QLatin1Char('\n')).toUtf8();
    }
    static void Click(int screen, const char* name) {
        auto* button =
            FMainVesk->FrameOfScreen(screen)->findChild<QAbstractButton*>(QLatin1String(name));
        ASSERT_TRUE(button) << name;
        button->click();
        QCoreApplication::processEvents();
    }
    // Every window but the main one closed, as the operator leaves them.
    static void CloseTheForms() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != FMainVesk && w->isVisible()) w->hide();
        QCoreApplication::processEvents();
    }

    QList<Shown> EveryShow() {
        QList<Shown> shows;
        for (int screen : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14})
            shows << Shown{QStringLiteral("screen %1").arg(screen),
                           [this, screen] { ShowByMenu(screen); }};
        // The screens' other modes and panels, as their buttons show them.
        for (const auto& [screen, button] : {std::pair{1, "BEdit"},
                                             {3, "BitFlag"},
                                             {9, "RB_ObsKey"},
                                             {9, "RBTer"},
                                             {9, "RB_KalKey"},
                                             {9, "RB_KvrKey"},
                                             {14, "BitFind"},
                                             // the forms and reports the screens open
                                             {4, "BitpkEdit"},
                                             {4, "BitskEdit"},
                                             {4, "BitkvEdit"},
                                             {4, "BitKlemm"},
                                             {4, "BitTract"},
                                             {5, "BitpkEdit"},
                                             {7, "BitMel"},
                                             {7, "BitAppr"}})
            shows << Shown{QStringLiteral("screen %1, ").arg(screen) + QLatin1String(button),
                           [this, screen, button] {
                               ShowByMenu(screen);
                               Click(screen, button);
                           }};
        for (const char* item : {"MpkEdit", "MskEdit", "MbvEdit", "MkvEdit", "Mifare1",
                                 "MNetTimeouts", "MGlobal", "MTables", "MAbout"})
            shows << Shown{QStringLiteral("menu ") + QLatin1String(item), [this, item] {
                               ShowByMenu(4);
                               Menu(QLatin1String(item));
                           }};
        shows << Shown{QStringLiteral("the object deletion"), [this] {
                           QTimer::singleShot(0, [] {
                               for (QWidget* w : QApplication::topLevelWidgets())
                                   if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                                       d->reject();
                           });
                           Menu(QStringLiteral("MServDel"));
                       }};
        // Every other form the program makes, shown over the call panels.
        const QStringList notWindows = {QStringLiteral("FDM"), QStringLiteral("FMainVesk"),
                                        QStringLiteral("FQRepObject")};
        for (const QString& name : AppForms::CreationOrder())
            if (!notWindows.contains(name))
                shows << Shown{QStringLiteral("form ") + name, [this, name] {
                                   ShowByMenu(5);
                                   for (QWidget* w : QApplication::topLevelWidgets())
                                       if (w->objectName() == name) w->show();
                               }};
        return shows;
    }

    // The program on the reference object, whose file has lost its house
    // count (the object panel shows the houses there are); a read-only file
    // and folder where asked.
    void Start(bool readOnly) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE k_net SET v_dom=0")));
        file.close();
        if (readOnly) {
            readOnlyFile_.emplace(database_.dbPath());
            readOnlyFolder_.emplace(database_.dbDir());
            if (!readOnlyFolder_->Active()) GTEST_SKIP() << "no way to make a folder read-only";
            dialogs_.Expect(QStringLiteral("Внимание"),
                            MainWindowTexts::ReadOnlyFolderWarning(database_.dbDir()));
        }
        StartOn(1);
    }
    void TearDown() override {
        ProgramRoads::TearDown();
        readOnlyFolder_.reset();
        readOnlyFile_.reset();
    }

    std::optional<ReadOnlyPath> readOnlyFile_;
    std::optional<ReadOnlyPath> readOnlyFolder_;
};

TEST_F(ShowingWritesNothing, EveryScreenModeAndFormShowsWithoutAWrite) {
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "a read-only file" : "a file that can be written");
        Start(readOnly);
        if (IsSkipped() || HasFatalFailure()) return;
        dialogs_.VerifyDone();
        for (const Shown& shown : EveryShow()) {
            SCOPED_TRACE(shown.what.toStdString());
            const QByteArray before = Stored();
            shown.show();
            QCoreApplication::processEvents();
            EXPECT_TRUE(before == Stored()) << "showing it wrote into the database folder";
            CloseTheForms();
        }
        EndTheProgram();
        readOnlyFolder_.reset();
        readOnlyFile_.reset();
        RestoreTheReferenceDatabase();
    }
}

// A tract typed for a gate reaches the saved matrix with its own save, so
// that the matrix screen shown afterwards has nothing to write.
TEST_F(ShowingWritesNothing, TheMatrixShownAfterATractWasTypedWritesNothing) {
    StartOn(4);
    Menu(QStringLiteral("MpkEdit"));
    QTableWidget* tracts = FpkEdit->Tracts->SGTract;
    ASSERT_GT(tracts->rowCount(), 0);
    tracts->item(0, 0)->setText(QStringLiteral("3"));  // the gate row first
    FpkEdit->Tracts->BitSaveTrack->click();
    CloseTheForms();
    const QByteArray before = FileBytes();
    ShowByMenu(2);
    EXPECT_TRUE(before == FileBytes()) << "showing the matrix wrote into the file";
    EXPECT_EQ("3", Rows(database_.open(), QStringLiteral("SELECT pk_01 FROM matr_%1 WHERE name='") +
                                              MatrixRules::GatePanelName(Globals().nmBVk, 1) +
                                              QStringLiteral("'")));
}

TEST_F(ShowingWritesNothing, OnAReadOnlyFileAnOperatorsWriteSaysSo) {
    const Write writes[] = {
        {"the object's name saved",
         1,
         {},
         [this] {
             Click(1, "BEdit");
             auto* screen = qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1));
             screen->P1_ENew->setText(QStringLiteral("Дом на Садовой, 1"));
             screen->BitSave->click();
         },
         QStringLiteral("Ошибка")},
        {"a gate added",
         2,
         {MatrixTexts::kAddGateCaption, MatrixTexts::kAddGate},
         [] { qobject_cast<TFrDom*>(FMainVesk->FrameOfScreen(2))->BitAppKal->click(); },
         QStringLiteral("Ошибка")},
        {"the floor switch chosen",
         4,
         {},
         [this] {
             Menu(QStringLiteral("MskEdit"));
             FskEdit->RBType1->click();
         },
         QStringLiteral("Ошибка")},
        {"an apartment inserted",
         6,
         {},
         [] {
             auto* screen = qobject_cast<TFrKvr*>(FMainVesk->FrameOfScreen(6));
             screen->Efkv->setText(FDM->Q_Kvp->FieldByName(QStringLiteral("n_kvr")).AsString());
             screen->Enkv->setText(QStringLiteral("901"));
             screen->Ekvv->setText(QStringLiteral("901"));
             screen->BitInsert->click();
         },
         QStringLiteral("Ошибка")},
        {"the console saved",
         7,
         {},
         [] { qobject_cast<TFrPo*>(FMainVesk->FrameOfScreen(7))->BitSavePo->click(); },
         QStringLiteral("Ошибка")},
        {"a key entered",
         9,
         {},
         [] {
             auto* screen = qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(9));
             screen->RB_KvrKey->click();
             screen->E_sn->setText(QStringLiteral("0000001E0001"));
             screen->BitAdd->click();
         },
         QStringLiteral("Ошибка")},
        {"the object's identifier changed",
         10,
         {},
         [] {
             auto* screen = qobject_cast<TFrWrite*>(FMainVesk->FrameOfScreen(10));
             screen->EIdent->setText(QStringLiteral("77"));
             screen->EIdentExit();
         },
         QStringLiteral("Ошибка")},
        {"a resident's name saved",
         14,
         {},
         [] {
             auto* screen = qobject_cast<TFrPiople*>(FMainVesk->FrameOfScreen(14));
             screen->EFam->setText(QStringLiteral("Петров"));
             screen->BitSave->click();
         },
         QStringLiteral("Ошибка")},
    };
    Start(true);
    if (IsSkipped() || HasFatalFailure()) return;
    const QByteArray before = FileBytes();
    for (const Write& write : writes) {
        SCOPED_TRACE(write.what);
        ShowByMenu(write.screen);
        for (int i = 0; i + 1 < write.questions.size(); i += 2)
            dialogs_.Expect(write.questions[i], write.questions[i + 1], DlgAnswer::Yes);
        dialogs_.ExpectContaining(write.caption, kReadOnly);
        write.press();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        CloseTheForms();
    }
    EXPECT_TRUE(before == FileBytes());
}

}  // namespace
