// A screen (or editor window) left with an edit in it and come back to,
// through the menu or the back and forward buttons, after F5 on it, or after
// another object was chosen on the object screen, offers no save of what it
// no longer shows: either its save is not offered, or the save writes exactly
// what the screen shows as it is pressed. The same save without leaving
// checks that each row's edit is saved and read back.

#include "app/TFMainVesk.h"
#include "config/ui/EditorConsoleTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/EditorSwitchTab.h"
#include "config/ui/TFrRedact.h"
#include "config/ui/TFrWrite.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TFrPo.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "keys/KeyNumber.h"
#include "keys/ui/TFrKeys.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/EntranceScreen.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/ProgramRoads.h"
#include "support/ReferenceDeviceFiles.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScreenSnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <utility>

namespace SaveAfterReturnTestUnit {
namespace {

constexpr int kObjects = 1, kMatrix = 2, kEntrances = 3, kSwitches = 4, kCallPanels = 5;
constexpr int kApartments = 6, kConsole = 7, kKeys = 9, kWriteScreen = 10, kReadScreen = 11;
constexpr int kEditor = 13, kResidents = 14;

const QString kOtherObject = ProgramRoads::kOtherObject;
const QString kNoApartments = ProgramRoads::kNoApartments;

// How the operator comes back to the screen before pressing its save.
enum Back { Staying, ByMenu, ByHistory, ByF5, ByOtherObject, OtherObjectAside, kBacks };
const char* const kBackNames[] = {
    "without leaving",       "another screen through the menu and back",
    "back and forward",      "F5",
    "another object chosen", "another object chosen, the save pressed on the object screen"};

const char* const kBackCases[] = {"Staying",       "ByMenu",        "ByHistory",
                                  "ByF5",          "ByOtherObject", "OtherObjectAside"};

void BumpSpin(QSpinBox* spin) {
    spin->setFocus();
    spin->setValue(spin->value() < spin->maximum() ? spin->value() + 1 : spin->value() - 1);
}

// The rows before the save, the one of the record shown (key) as it is shown.
QStringList WithShownLine(QStringList rows, const QString& key, const QString& value) {
    for (QString& row : rows)
        if (row.startsWith(key + QLatin1Char(' '))) {
            row = key + QLatin1Char(' ') + value;
            return rows;
        }
    return rows << QStringLiteral("(not stored) ") + key + QLatin1Char(' ') + value;
}

class SaveAfterReturn : public ProgramRoads {
  protected:
    static void SetUpTestSuite() {
        ProgramRoads::SetUpTestSuite();
        threeObjects_ = ThreeObjects(ReferenceDatabase());
        files_ = {SwitchDeviceFile(ReferenceDatabase(), IdNet(), 1),
                  PanelDeviceFile(ReferenceDatabase(), IdNet(), 64 + 2),
                  ConsoleDeviceFile(ReferenceDatabase(), IdNet())};
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

    // The rows of a query on the file, a line each; %1 is idNet.
    QStringList Rows(const QString& sql, qint64 idNet) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        if (!q.exec(sql.arg(idNet))) ADD_FAILURE() << sql.toStdString();
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << cells.join(QLatin1Char(' '));
        }
        return rows;
    }
    // A cell of the row a grid stands on.
    static QString CurrentCell(const DatasetGrid* grid, const char* field) {
        const QModelIndex cell = grid->model()->index(
            grid->currentIndex().row(), grid->Model()->ColumnOf(QString::fromLatin1(field)));
        return cell.data().toString().trimmed();
    }

    void ComeBack(Back back, int screen, const QString& other) {
        if (back == ByMenu) {
            ShowByMenu(screen == kReadScreen ? kObjects : kReadScreen);
            ShowByMenu(screen);
        } else if (back == ByHistory) {
            FMainVesk->BitBack->click();
            FMainVesk->BitForward->click();
            QCoreApplication::processEvents();
        } else if (back == ByF5) {
            Menu(QStringLiteral("MReOpen"));
        } else if (back == ByOtherObject) {
            ChooseObject(other);
            if (!HasFatalFailure()) ShowByMenu(screen);
        } else if (back == OtherObjectAside && screen != kObjects) {
            ChooseObject(other);
        }
    }

    // The editor's pages; for the saved file, as the editor shows it opened anew.
    void OpenInTheEditor(int kind, const QString& caption) {
        dialogs_.ExpectPicker(caption, database_.programDir().file(EditorFile(kind)));
        Editor().ButBit->click();
        QCoreApplication::processEvents();
    }
    static QString EditorFile(int kind) { return QStringLiteral("files/kind%1.bin").arg(kind); }
    QStringList EditorPages() { return ScreenSnapshot(*Editor().PageFile); }
    QStringList EditorSaved(int kind) {
        OpenInTheEditor(kind, QStringLiteral("Открыть КФ"));
        return EditorPages();
    }

    // The resident the list stands on, with the names the fields show.
    QStringList ResidentShown() {
        const DatasetGrid* grid = Residents().DBGrid1;
        return {CurrentObject() + QLatin1Char(' ') + CurrentCell(grid, "kod_d") + QLatin1Char('-') +
                CurrentCell(grid, "n_kvr") + QLatin1Char(' ') + Residents().EFam->text() +
                QLatin1Char(' ') + Residents().ENam->text()};
    }
    QStringList Residents(qint64 idNet) {
        return Rows(QStringLiteral("SELECT n.ident, d.kod_d || '-' || v.n_kvr, v.Fam, v.Nam "
                                   "FROM k_kvr v JOIN k_pod p ON p.id_pod = v.id_pod JOIN k_dom "
                                   "d ON d.id_dom = p.id_dom JOIN k_net n ON n.id_net = v.id_net "
                                   "WHERE v.id_net = %1 AND v.Fam <> '' ORDER BY v.id_kvr"),
                    idNet);
    }
    // The rows the editor windows write, of the object they were opened on.
    QStringList SwitchParams() {
        return Rows(QStringLiteral("SELECT 'Дом ' || trim(d.house) || ', подъезд ' || p.n_pod || "
                                   "', СКМ' || printf('%02d', k.n_net), e.t_cm FROM k_pk k JOIN "
                                   "k_pod p ON p.id_pod = k.id_pod JOIN k_dom d ON d.id_dom = "
                                   "p.id_dom JOIN t_ke e ON e.id_ke = k.id_ke WHERE k.id_net = "
                                   "%1 ORDER BY k.n_net"),
                    editedIdNet_);
    }
    QStringList PanelLevels() {
        return Rows(QStringLiteral("SELECT n_bv, sl FROM k_bv WHERE id_net = %1 ORDER BY n_nt0"),
                    editedIdNet_);
    }
    QStringList ApartmentCalls() {
        return Rows(QStringLiteral("SELECT trim(d.house) || '|' || p.n_pod || '|' || v.n_kvr, "
                                   "v.call FROM k_kvr v JOIN k_pod p ON p.id_pod = v.id_pod JOIN "
                                   "k_dom d ON d.id_dom = p.id_dom WHERE v.id_net = %1 ORDER BY "
                                   "v.id_kvr"),
                    editedIdNet_);
    }
    // The keys of the object, by the apartment the keys screen names.
    QStringList Keys() {
        return Rows(QStringLiteral("SELECT trim(d.house) || '|' || p.n_pod || '|' || v.n_kvr, "
                                   "k.un_key FROM k_key k JOIN k_kvr v ON v.id_kvr = k.id_kvr "
                                   "JOIN k_pod p ON p.id_pod = v.id_pod JOIN k_dom d ON d.id_dom "
                                   "= p.id_dom WHERE k.id_net = %1 ORDER BY 1, 2"),
                    CurrentIdNet());
    }

    // The devices chosen on the write screen, in its folder, emptied first:
    // the files in it after the save are the ones the save wrote.
    QStringList DevicesChosen() {
        TFrWrite* write = Screen<TFrWrite>(kWriteScreen);
        QDir folder(write->LFile1->text());
        for (const QString& file : folder.entryList({QStringLiteral("*.bin")})) folder.remove(file);
        QStringList rows;
        for (const QListWidgetItem* item : write->ListCdev->selectedItems())
            rows << folder.path() + QLatin1Char(' ') +
                        item->text().mid(1).section(QLatin1Char(' '), 0, 0);
        return rows;
    }
    QStringList DevicesWritten() {  // "ckm02.bin" is КМ02
        QDir folder(Screen<TFrWrite>(kWriteScreen)->LFile1->text());
        QStringList rows;
        for (QString file : folder.entryList({QStringLiteral("*.bin")}))
            rows << folder.path() + QLatin1Char(' ') +
                        file.chopped(4).replace(QStringLiteral("ckm"), QStringLiteral("КМ"));
        return rows;
    }

    QString editedKey_;
    qint64 editedIdNet_ = 0;  // the object the edit was made on
    static inline QByteArray threeObjects_;
    static inline QList<QByteArray> files_;  // of a switch, a call panel, the console
};

// One case per way back, so that each runs its fifteen saves alone.
class SaveAfterReturnBy : public SaveAfterReturn, public ::testing::WithParamInterface<int> {};

INSTANTIATE_TEST_SUITE_P(EachWayBack, SaveAfterReturnBy, ::testing::Range(int(Staying), int(kBacks)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(kBackCases[info.param]);
                         });

TEST_P(SaveAfterReturnBy, ASaveWritesWhatTheScreenShowsOrIsNotOffered) {
    const int back = GetParam();
    const std::pair<QString, QString> editorQuestion{
        QStringLiteral("Запрос на сохранение"), QStringLiteral("Сохранить файл конфигурации?")};
    auto inTheEditor = [this](int kind, std::function<QSpinBox*()> spin) {
        return [this, kind, spin] {
            database_.programDir().writeFile(EditorFile(kind), files_[kind]);
            OpenInTheEditor(kind, QStringLiteral("Открыть созданный в АРМЕ КФ"));
            BumpSpin(spin());
        };
    };
    const struct {
        const char* what;
        int screen;
        std::function<void()> edit;  // after which the save is offered
        std::function<QAbstractButton*()> save;
        std::function<QStringList()> shown, stored;
        std::pair<QString, QString> question{};   // the save asks, answered Yes
        QString other = kOtherObject;             // chosen on the way back
        std::function<bool()> offered = nullptr;  // where the button is always there
        QString leaving{};                        // asked on leaving, answered No
        const char* picture = nullptr;            // as another object shows it
    } saves[] = {
        {"the editor's switch tab",
         kEditor,
         inTheEditor(0, [this] { return Editor().TabCPK1->ParamSpins.first(); }),
         [this] { return Editor().TabCPK1->BitSaveKm; },
         [this] { return EditorPages(); },
         [this] { return EditorSaved(0); },
         editorQuestion,
         kOtherObject,
         nullptr,
         {},
         "editor_after_a_return"},
        {"the editor's call panel tab", kEditor,
         inTheEditor(1, [this] { return Editor().TabCBV1->SL; }),
         [this] { return Editor().TabCBV1->BitSaveBv; }, [this] { return EditorPages(); },
         [this] { return EditorSaved(1); }, editorQuestion},
        {"the editor's console tab", kEditor,
         inTheEditor(2, [this] { return Editor().TabCPO1->E_Vss; }),
         [this] { return Editor().TabCPO1->BitSavePo; }, [this] { return EditorPages(); },
         [this] { return EditorSaved(2); }, editorQuestion},
        {"a resident's surname", kResidents,
         [this] {
             for (int step = 0; step < 4; ++step) Residents().BtnDown->click();
             Residents().EFam->insert(QStringLiteral("Иванов"));
         },
         [this] { return Residents().BitSave; }, [this] { return ResidentShown(); },
         [this] { return Residents(CurrentIdNet()); }},
        {"a resident in a selection",
         kResidents,
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
         [this] { return Residents().BitSave; },
         [this] { return ResidentShown(); },
         [this] { return Residents(CurrentIdNet()); },
         {},
         kNoApartments,
         nullptr,
         {},
         "residents_selection_on_an_object_without_apartments"},
        {"the object's name", kObjects,
         [this] {
             Screen<TFrMatr>(kObjects)->BEdit->click();
             Screen<TFrMatr>(kObjects)->P1_ENew->insert(QStringLiteral(" 2"));
         },
         [this] { return Screen<TFrMatr>(kObjects)->BitSave; },
         [this] { return QStringList{Screen<TFrMatr>(kObjects)->P1_ENew->text()}; },
         [this] {
             return Rows(QStringLiteral("SELECT ident FROM k_net WHERE id_net = %1"),
                         CurrentIdNet());
         }},
        {"an entrance name in the matrix",
         kMatrix,
         [this] {
             QTableView* grid = Screen<TFrDom>(kMatrix)->DBGrid3;
             grid->setFocus();
             grid->setCurrentIndex(grid->model()->index(0, 2));
             QTest::keyClick(grid, Qt::Key_X);
         },
         [this] { return Screen<TFrDom>(kMatrix)->BtnSave; },
         [this] { return ScreenSnapshot(*Screen<TFrDom>(kMatrix)->DBGrid3); },
         [this] {  // as the saved links make it again
             ShowByMenu(0);
             ShowByMenu(kMatrix);
             return ScreenSnapshot(*Screen<TFrDom>(kMatrix)->DBGrid3);
         },
         {},
         kOtherObject,
         nullptr,
         ScreenTexts::kSaveMatrix},
        {"the last apartment of an entrance",
         kEntrances,
         [this] {
             TFrPod* entrances = Screen<TFrPod>(kEntrances);
             if (!entrances->ChBxLast->isChecked()) entrances->ChBxLast->click();
             QLineEdit* last = entrances->CGridP->Editor(0, QStringLiteral("npkvr"));
             last->setFocus();
             last->selectAll();
             QTest::keyClicks(last, QStringLiteral("30"));
         },
         [this] { return Screen<TFrPod>(kEntrances)->But1kv; },
         [this] {
             TRecordGrid* grid = Screen<TFrPod>(kEntrances)->CGridP;
             QStringList rows;
             for (int r = 0; r < grid->RowCount(); ++r)
                 rows << grid->Editor(r, QStringLiteral("npkvr"))->text();
             return rows;
         },
         [this] {
             return Rows(QStringLiteral("SELECT npkvr FROM k_pod WHERE id_dom = (SELECT "
                                        "MIN(id_dom) FROM k_dom WHERE id_net = %1) ORDER BY n_pod"),
                         CurrentIdNet());
         },
         {EntranceTexts::kRecountCaption, EntranceTexts::kRecountQuestion}},
        {"the switch editor",
         kSwitches,
         [this] {
             Screen<TFrPk>(kSwitches)->BitpkEdit->click();
             BumpSpin(FpkEdit->TCM);
         },
         [] { return FpkEdit->BitSavePk; },
         [this] {
             return WithShownLine(SwitchParams(), FpkEdit->LSwitch->text(), FpkEdit->TCM->text());
         },
         [this] { return SwitchParams(); },
         {QStringLiteral("Дом на Садовой, СКМ01"), QStringLiteral("Сохранить для данного КМ?")}},
        {"the call panel editor", kCallPanels,
         [this] {
             Screen<TFrBv>(kCallPanels)->BitpkEdit->click();
             BumpSpin(FbvEdit->SL);
         },
         [] { return FbvEdit->BitSave; },
         [this] {
             return WithShownLine(PanelLevels(), FbvEdit->TxName->text(), FbvEdit->SL->text());
         },
         [this] { return PanelLevels(); }},
        {"the apartment editor", kApartments,
         [this] {
             Menu(QStringLiteral("MkvEdit"));
             for (int step = 0; step < 3; ++step) FkvEdit->BtnDown->click();
             FkvEdit->Call->click();
         },
         [] { return FkvEdit->BitSave; },
         [this] {
             const QString apartment = FkvEdit->DBTextHouse->text().trimmed() + QLatin1Char('|') +
                                       FkvEdit->DBTextNPod->text() + QLatin1Char('|') +
                                       FkvEdit->E_kv->text();
             return WithShownLine(ApartmentCalls(), apartment,
                                  QString::number(int(FkvEdit->Call->isChecked())));
         },
         [this] { return ApartmentCalls(); }},
        {"the console's call level", kConsole, [this] { BumpSpin(Screen<TFrPo>(kConsole)->E_Vss); },
         [this] { return Screen<TFrPo>(kConsole)->BitSavePo; },
         [this] { return QStringList{Screen<TFrPo>(kConsole)->E_Vss->text()}; },
         [this] {
             return Rows(QStringLiteral("SELECT klvl FROM k_po WHERE id_net = %1"), CurrentIdNet());
         }},
        {"the console's hardware settings", kConsole,
         [this] {
             Screen<TFrPo>(kConsole)->BitAppr->click();
             BumpSpin(FpoAppr->Cbto);
         },
         [] { return FpoAppr->BitSavePo; }, [] { return QStringList{FpoAppr->Cbto->text()}; },
         [this] {
             return Rows(QStringLiteral("SELECT cbto FROM k_po WHERE id_net = %1"), editedIdNet_);
         }},
        {"a key being changed",
         kKeys,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             keys->DBGrid1->setCurrentIndex(keys->DBGrid1->model()->index(4, 0));
             for (const char* number : {"A1B2C3", "A1B2C4", "D4E5F6"}) {
                 keys->E_sn->setText(QString::fromLatin1(number));
                 if (keys->DBGrid2->model()->rowCount() == 2) {  // the first one is changed
                     keys->DBGrid2->setCurrentIndex(keys->DBGrid2->model()->index(0, 0));
                     editedKey_ = keys->DBGrid2->model()->index(0, 0).data().toString();
                     keys->BitEdit->click();
                     keys->E_sn->setText(QString::fromLatin1(number));
                     break;
                 }
                 keys->BitAdd->click();
             }
         },
         [this] { return Screen<TFrKeys>(kKeys)->BitAdd; },
         [this] {
             QStringList rows = Keys();
             for (QString& row : rows)
                 if (row.endsWith(QLatin1Char(' ') + editedKey_))
                     row.replace(editedKey_,
                                 KeyNumber::FullNumber(Screen<TFrKeys>(kKeys)->E_sn->text()));
             rows.sort();
             return rows;
         },
         [this] { return Keys(); },
         {},
         kOtherObject,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             return keys->isVisible() && !keys->E_sn->text().isEmpty();
         }},
        {"a device file written",
         kWriteScreen,
         [this] { Screen<TFrWrite>(kWriteScreen)->ListCdev->item(1)->setSelected(true); },
         [this] { return Screen<TFrWrite>(kWriteScreen)->BitCreate; },
         [this] { return DevicesChosen(); },
         [this] { return DevicesWritten(); },
         {},
         kOtherObject,
         [this] {
             TFrWrite* write = Screen<TFrWrite>(kWriteScreen);
             return write->isVisible() && !write->ListCdev->selectedItems().isEmpty();
         }},
    };
    for (const auto& s : saves) {
        SCOPED_TRACE(std::string(s.what) + ", " + kBackNames[back]);
        RestoreDatabase(threeObjects_);
        StartOn(0);
        ShowByMenu(s.screen);
        ASSERT_EQ(s.screen, FMainVesk->VisibleScreen());
        s.edit();
        QCoreApplication::processEvents();
        editedIdNet_ = CurrentIdNet();
        auto offered = [&] {
            if (s.offered) return s.offered();
            return s.save()->isVisible() && s.save()->isEnabled();
        };
        ASSERT_TRUE(offered()) << "the edit offers the save";
        if (!s.leaving.isEmpty() && back != Staying && back != ByF5)
            dialogs_.Expect(ScreenTexts::kQuestion, s.leaving, DlgAnswer::No);
        ComeBack(Back(back), s.screen, s.other);
        if (back == ByOtherObject && s.picture) {
            FMainVesk->resize(kWindowRoom);
            SaveScreen(*FMainVesk, QString::fromLatin1(s.picture));
        }
        if (back == Staying) {
            EXPECT_TRUE(offered());
        }
        if (offered()) {
            const QStringList shown = s.shown();
            if (!s.question.second.isEmpty())
                dialogs_.Expect(s.question.first, s.question.second, DlgAnswer::Yes);
            s.save()->click();
            QCoreApplication::processEvents();
            const QStringList diff = SnapshotDifference(shown, s.stored());
            EXPECT_TRUE(diff.isEmpty()) << "saved otherwise than shown (- shown, + saved):\n"
                                        << diff.join(QLatin1Char('\n')).toStdString();
        }
        dialogs_.VerifyDone();
        EndTheProgram();
    }
}
}  // namespace
}  // namespace SaveAfterReturnTestUnit
