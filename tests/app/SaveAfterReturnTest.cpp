// A screen left with an edit in it and come back to, through the menu or the
// back and forward buttons, after F5 on it, or after another object was
// chosen on the object screen, offers no save of what it no longer shows:
// either its save is not offered, or the save writes exactly what the screen
// shows as it is pressed. The same save without leaving is the check that
// each row's edit is saved and read back.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "config/ui/EditorConsoleTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/EditorSwitchTab.h"
#include "config/ui/TFrRedact.h"
#include "devices/ui/TFrPo.h"
#include "foundation/TFDM.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "support/ProgramRoads.h"
#include "support/ReferenceDeviceFiles.h"
#include "support/ReferenceObject.h"
#include "support/ScreenSnapshot.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

constexpr int kObjects = 1;
constexpr int kConsole = 7;
constexpr int kReadScreen = 11;
constexpr int kEditor = 13;
constexpr int kResidents = 14;

const QString kOtherObject = QStringLiteral("Дом на Лесной");
const QString kNoApartments = QStringLiteral("Дом без квартир");

// How the operator comes back to the screen before pressing its save.
enum class Back { Stay, Menu, History, F5, OtherObject };

const char* BackName(Back back) {
    switch (back) {
        case Back::Stay:
            return "without leaving";
        case Back::Menu:
            return "another screen through the menu and back";
        case Back::History:
            return "back and forward";
        case Back::F5:
            return "F5";
        case Back::OtherObject:
            return "another object chosen";
    }
    return "";
}

// The reference object, a second one like it and a third without apartments,
// built by the program in a database of their own.
QByteArray BuildThreeObjects(const QByteArray& reference) {
    TestDatabase db(TestDatabase::Kind::None);
    db.programDir().writeFile(
        QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName), reference);
    NavigationHooks hooks = Hooks();
    ArmGlobals globals = Globals();
    AppForms::CreateAll();
    ReferenceObjectOptions other;
    other.name = kOtherObject;
    ReferenceObject second(other);
    bool built = FDM && second.Build(ReferenceStep::DeviceRecords);
    if (!built) ADD_FAILURE() << "second object: " << second.Error().toStdString();
    ReferenceObjectOptions empty;
    empty.name = kNoApartments;
    ReferenceObject third(empty);
    built = built && third.Build(ReferenceStep::Entrances);
    if (!built) ADD_FAILURE() << "third object: " << third.Error().toStdString();
    AppForms::DestroyAll();
    Hooks() = hooks;
    Globals() = globals;
    QFile f(db.dbPath());
    return built && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void BumpSpin(QSpinBox* spin) {
    spin->setFocus();
    spin->setValue(spin->value() < spin->maximum() ? spin->value() + 1 : spin->value() - 1);
}

}  // namespace

class SaveAfterReturn : public ProgramRoads {
  protected:
    static void SetUpTestSuite() {
        ProgramRoads::SetUpTestSuite();
        threeObjects_ = BuildThreeObjects(ReferenceDatabase());
        switchFile_ = SwitchDeviceFile(ReferenceDatabase(), IdNet(), 1);
        panelFile_ = PanelDeviceFile(ReferenceDatabase(), IdNet(), 64 + 2);
        consoleFile_ = ConsoleDeviceFile(ReferenceDatabase(), IdNet());
    }
    static void TearDownTestSuite() {
        threeObjects_.clear();
        ProgramRoads::TearDownTestSuite();
    }

    void StartWithThreeObjects() {
        ASSERT_FALSE(threeObjects_.isEmpty());
        database_.programDir().writeFile(
            QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName), threeObjects_);
        StartOn(0);
    }

    template <class Frame>
    Frame* Screen(int screen) {
        return qobject_cast<Frame*>(FMainVesk->FrameOfScreen(screen));
    }
    TFrRedact& Editor() { return *Screen<TFrRedact>(kEditor); }
    TFrPiople& Residents() { return *Screen<TFrPiople>(kResidents); }

    static QString CurrentObject() {
        return FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString();
    }
    static qint64 CurrentIdNet() {
        return FDM->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
    }

    // The rows of a query on the file (%1 the current object's id_net), a line each.
    QStringList Stored(const QString& sql) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        if (!q.exec(sql.contains(QLatin1String("%1")) ? sql.arg(CurrentIdNet()) : sql))
            ADD_FAILURE() << sql.toStdString();
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << cells.join(QLatin1Char(' '));
        }
        return rows;
    }

    // Another object chosen in the object screen's list, as the operator clicks it.
    void ChooseObject(const QString& name) {
        ShowByMenu(kObjects);
        QTableView* list = Screen<TFrMatr>(kObjects)->DBGrid1;
        const QAbstractItemModel* model = list->model();
        for (int row = 0; model && row < model->rowCount(); ++row) {
            const QModelIndex cell = model->index(row, 0);
            if (cell.data().toString() != name) continue;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(cell).center());
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(name, CurrentObject());
    }

    void ComeBack(Back back, int screen, const QString& other) {
        switch (back) {
            case Back::Stay:
                return;
            case Back::Menu:
                ShowByMenu(screen == kReadScreen ? kObjects : kReadScreen);
                ShowByMenu(screen);
                return;
            case Back::History:
                FMainVesk->BitBack->click();
                QCoreApplication::processEvents();
                FMainVesk->BitForward->click();
                QCoreApplication::processEvents();
                return;
            case Back::F5:
                Menu(QStringLiteral("MReOpen"));
                return;
            case Back::OtherObject:
                ChooseObject(other);
                if (!HasFatalFailure()) ShowByMenu(screen);
                return;
        }
    }

    // A configuration file in the program folder, opened in the editor.
    void OpenInTheEditor(const QString& name, const QByteArray& bytes) {
        const QString path = database_.programDir().file(QStringLiteral("files/") + name);
        database_.programDir().writeFile(QStringLiteral("files/") + name, bytes);
        editedFile_ = path;
        dialogs_.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), path);
        Editor().ButBit->click();
        QCoreApplication::processEvents();
        ASSERT_EQ(path, Editor().LFile1->text());
    }
    // The editor's pages as they show; for the file saved, its pages as the
    // editor shows it opened anew.
    QStringList EditorPages() { return ScreenSnapshot(*Editor().PageFile); }
    QStringList EditorSaved() {
        // The folder of the first choice is offered again.
        dialogs_.ExpectPicker(QStringLiteral("Открыть КФ"), editedFile_);
        Editor().ButBit->click();
        QCoreApplication::processEvents();
        return EditorPages();
    }
    void AnswerTheEditorsQuestion() {
        dialogs_.Expect(QStringLiteral("Запрос на сохранение"),
                        QStringLiteral("Сохранить файл конфигурации?"), DlgAnswer::Yes);
    }

    // The resident the list stands on: its house prefix and number, with the
    // names the fields show.
    QStringList ResidentShown() {
        const DatasetGrid* grid = Residents().DBGrid1;
        const QAbstractItemModel* model = grid->model();
        const int row = grid->currentIndex().row();
        auto cell = [&](const QString& field) {
            return model->index(row, grid->Model()->ColumnOf(field)).data().toString();
        };
        return {CurrentObject() + QLatin1Char(' ') + cell(QStringLiteral("kod_d")) +
                QLatin1Char('-') + cell(QStringLiteral("n_kvr")) + QLatin1Char(' ') +
                Residents().EFam->text() + QLatin1Char(' ') + Residents().ENam->text()};
    }

    QString editedFile_;
    static inline QByteArray threeObjects_, switchFile_, panelFile_, consoleFile_;
};

TEST_F(SaveAfterReturn, ASaveWritesWhatTheScreenShowsOrIsNotOffered) {
    const QString residentsStored = QStringLiteral(
        "SELECT n.ident, d.kod_d || '-' || v.n_kvr, v.Fam, v.Nam FROM k_kvr v "
        "JOIN k_pod p ON p.id_pod = v.id_pod JOIN k_dom d ON d.id_dom = p.id_dom "
        "JOIN k_net n ON n.id_net = v.id_net WHERE v.id_net = %1 AND v.Fam <> '' "
        "ORDER BY v.id_kvr");
    const struct {
        const char* what;
        int screen;
        std::function<void()> edit;  // the operator's edit, after which the save is offered
        std::function<QAbstractButton*()> save;
        std::function<void()> answers;  // the questions the save asks, answered
        std::function<QStringList()> shown, stored;
        QString other = kOtherObject;  // the object chosen on the way back
    } saves[] = {
        {"the editor's switch tab", kEditor,
         [this] {
             OpenInTheEditor(QStringLiteral("ckm01.bin"), switchFile_);
             BumpSpin(Editor().TabCPK1->ParamSpins.first());
         },
         [this] { return Editor().TabCPK1->BitSaveKm; }, [this] { AnswerTheEditorsQuestion(); },
         [this] { return EditorPages(); }, [this] { return EditorSaved(); }},
        {"the editor's call panel tab", kEditor,
         [this] {
             OpenInTheEditor(QStringLiteral("cbv02.bin"), panelFile_);
             BumpSpin(Editor().TabCBV1->SL);
         },
         [this] { return Editor().TabCBV1->BitSaveBv; }, [this] { AnswerTheEditorsQuestion(); },
         [this] { return EditorPages(); }, [this] { return EditorSaved(); }},
        {"the editor's console tab", kEditor,
         [this] {
             OpenInTheEditor(QStringLiteral("cpo63.bin"), consoleFile_);
             BumpSpin(Editor().TabCPO1->E_Vss);
         },
         [this] { return Editor().TabCPO1->BitSavePo; }, [this] { AnswerTheEditorsQuestion(); },
         [this] { return EditorPages(); }, [this] { return EditorSaved(); }},
        {"a resident's surname", kResidents,
         [this] {
             for (int step = 0; step < 4; ++step) Residents().BtnDown->click();
             Residents().EFam->setFocus();
             Residents().EFam->insert(QStringLiteral("Иванов"));
         },
         [this] { return Residents().BitSave; }, [] {}, [this] { return ResidentShown(); },
         [&] { return Stored(residentsStored); }},
        {"a resident in a selection", kResidents,
         [this] {
             TFrPiople& residents = Residents();
             residents.EFam->insert(QStringLiteral("Иванов"));
             residents.ENam->insert(QStringLiteral("Пётр"));
             residents.BitSave->click();
             residents.BitFind->click();  // "Начать выборку"
             residents.EFam->insert(QStringLiteral("Ив"));
             residents.BitFind->click();  // "Подтвердить выборку"
             residents.ENam->selectAll();
             residents.ENam->insert(QStringLiteral("Павел"));
         },
         [this] { return Residents().BitSave; }, [] {}, [this] { return ResidentShown(); },
         [&] { return Stored(residentsStored); }, kNoApartments},
        {"the object's name", kObjects,
         [this] {
             TFrMatr* objects = Screen<TFrMatr>(kObjects);
             objects->BEdit->click();
             objects->P1_ENew->setFocus();
             QTest::keyClicks(objects->P1_ENew, QStringLiteral(" 2"));
         },
         [this] { return Screen<TFrMatr>(kObjects)->BitSave; }, [] {},
         [this] { return QStringList{Screen<TFrMatr>(kObjects)->P1_ENew->text()}; },
         [this] { return Stored(QStringLiteral("SELECT ident FROM k_net WHERE id_net=%1")); }},
        {"the console's call level", kConsole, [this] { BumpSpin(Screen<TFrPo>(kConsole)->E_Vss); },
         [this] { return Screen<TFrPo>(kConsole)->BitSavePo; }, [] {},
         [this] {
             return QStringList{CurrentObject() + QLatin1Char(' ') +
                                Screen<TFrPo>(kConsole)->E_Vss->text()};
         },
         [this] {
             return Stored(QStringLiteral(
                 "SELECT n.ident, p.klvl FROM k_po p JOIN k_net n ON n.id_net = p.id_net "
                 "WHERE p.id_net=%1"));
         }},
    };
    for (const auto& s : saves)
        for (Back back : {Back::Stay, Back::Menu, Back::History, Back::F5, Back::OtherObject}) {
            SCOPED_TRACE(std::string(s.what) + ", " + BackName(back));
            StartWithThreeObjects();
            if (HasFatalFailure()) return;
            ShowByMenu(s.screen);
            ASSERT_EQ(s.screen, FMainVesk->VisibleScreen());
            s.edit();
            ASSERT_TRUE(s.save()->isEnabled()) << "the edit offers the save";
            ComeBack(back, s.screen, s.other);
            QAbstractButton* save = s.save();
            const bool offered = save->isVisible() && save->isEnabled();
            if (back == Back::Stay) EXPECT_TRUE(offered);
            if (offered) {
                const QStringList shown = s.shown();
                s.answers();
                save->click();
                QCoreApplication::processEvents();
                const QStringList diff = SnapshotDifference(shown, s.stored());
                EXPECT_TRUE(diff.isEmpty()) << "saved otherwise than shown (- shown, + saved):\n"
                                            << diff.join(QLatin1Char('\n')).toStdString();
            }
            dialogs_.VerifyDone();
            EndTheProgram();
        }
}
