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
#include "config/ui/TFrWrite.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TFrPo.h"
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
#include "site/ui/TFskEdit.h"
#include "site/ui/TRecordGrid.h"
#include "support/ProgramRoads.h"
#include "support/ReferenceDeviceFiles.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScreenSnapshot.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
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
constexpr int kMatrix = 2;
constexpr int kEntrances = 3;
constexpr int kSwitches = 4;
constexpr int kCallPanels = 5;
constexpr int kApartments = 6;
constexpr int kConsole = 7;
constexpr int kKeys = 9;
constexpr int kWriteScreen = 10;
constexpr int kReadScreen = 11;
constexpr int kEditor = 13;
constexpr int kResidents = 14;

const QString kOtherObject = QStringLiteral("Дом на Лесной");
const QString kNoApartments = QStringLiteral("Дом без квартир");

// How the operator comes back to the screen before pressing its save.
enum class Back { Stay, Menu, History, F5, OtherObject, OtherObjectAside };

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
        case Back::OtherObjectAside:
            return "another object chosen, the save pressed on the object screen";
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
            case Back::OtherObjectAside:
                if (screen != kObjects) ChooseObject(other);
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

    // The rows before the save, with the line of the record the screen shows
    // (the line starting with key) as it shows it.
    static QStringList WithShownLine(QStringList rows, const QString& key, const QString& value) {
        const QString prefix = key + QLatin1Char(' ');
        for (QString& row : rows)
            if (row.startsWith(prefix)) {
                row = prefix + value;
                return rows;
            }
        rows << QStringLiteral("(no such record) ") + prefix + value;
        return rows;
    }

    // The switch editor opened on the switch screen.
    QStringList SwitchParams() {
        return Stored(
            QStringLiteral("SELECT 'Дом ' || trim(d.house) || ', подъезд ' || p.n_pod || "
                           "', СКМ' || printf('%02d', k.n_net), e.t_cm FROM k_pk k "
                           "JOIN k_pod p ON p.id_pod = k.id_pod JOIN k_dom d ON d.id_dom = "
                           "p.id_dom JOIN t_ke e ON e.id_ke = k.id_ke WHERE k.id_net = %1 "
                           "ORDER BY k.n_net")
                .arg(editedIdNet_));
    }
    QStringList PanelLevels() {
        return Stored(QStringLiteral("SELECT n_bv, sl FROM k_bv WHERE id_net = %1 ORDER BY n_nt0")
                          .arg(editedIdNet_));
    }
    QStringList CommonKeySlots() {
        return Stored(QStringLiteral("SELECT d.kod_d || '|' || p.n_pod, p.o_key FROM k_pod p "
                                     "JOIN k_dom d ON d.id_dom = p.id_dom WHERE p.id_net = %1 "
                                     "ORDER BY p.id_pod")
                          .arg(editedIdNet_));
    }
    QStringList ApartmentCalls() {
        return Stored(QStringLiteral("SELECT trim(d.house) || '|' || p.n_pod || '|' || v.n_kvr, "
                                     "v.call FROM k_kvr v JOIN k_pod p ON p.id_pod = v.id_pod "
                                     "JOIN k_dom d ON d.id_dom = p.id_dom WHERE v.id_net = %1 "
                                     "ORDER BY v.id_kvr")
                          .arg(editedIdNet_));
    }
    // The keys of the current object, by the apartment the keys screen names.
    QStringList Keys() {
        return Stored(
            QStringLiteral("SELECT trim(d.house) || '|' || p.n_pod || '|' || v.n_kvr || "
                           "' ' || k.un_key FROM k_key k JOIN k_kvr v ON v.id_kvr = k.id_kvr "
                           "JOIN k_pod p ON p.id_pod = v.id_pod JOIN k_dom d ON d.id_dom = "
                           "p.id_dom WHERE k.id_net = %1 ORDER BY 1"));
    }
    // The keys as the keys screen would add the number it shows to the
    // apartment it stands on.
    QStringList KeysShown() {
        TFrKeys* keys = Screen<TFrKeys>(kKeys);
        const DatasetGrid* grid = keys->DBGrid1;
        const int row = grid->currentIndex().row();
        auto cell = [&](const char* field) {
            return grid->model()
                ->index(row, grid->Model()->ColumnOf(QString::fromLatin1(field)))
                .data()
                .toString()
                .trimmed();
        };
        QStringList rows = Keys();
        rows << cell("house") + QLatin1Char('|') + cell("n_pod") + QLatin1Char('|') +
                    cell("n_kvr") + QLatin1Char(' ') + KeyNumber::FullNumber(keys->E_sn->text());
        rows.sort();
        return rows;
    }
    // The last apartments of the first house's entrances.
    QStringList EntranceLasts() {
        TFrPod* entrances = Screen<TFrPod>(kEntrances);
        QStringList rows;
        for (int r = 0; r < entrances->CGridP->RowCount(); ++r)
            rows << entrances->CGridP->Editor(r, QStringLiteral("npkvr"))->text();
        return rows;
    }

    // The devices chosen on the write screen, in the folder it names; the
    // folder is emptied first, so that the files in it after the save are
    // the ones the save wrote.
    QStringList DevicesToWrite() {
        TFrWrite* write = Screen<TFrWrite>(kWriteScreen);
        QDir folder(write->LFile1->text());
        for (const QString& file : folder.entryList({QStringLiteral("*.bin")}, QDir::Files))
            folder.remove(file);
        QStringList rows;
        for (const QListWidgetItem* item : write->ListCdev->selectedItems())
            rows << folder.path() + QLatin1Char(' ') +
                        item->text().mid(1).section(QLatin1Char(' '), 0, 0,
                                                    QString::SectionSkipEmpty);
        rows.sort();
        return rows;
    }
    // The devices of the files in the write screen's folder ("ckm02.bin" is КМ02).
    QStringList DevicesWritten() {
        QDir folder(Screen<TFrWrite>(kWriteScreen)->LFile1->text());
        QStringList rows;
        for (QString file : folder.entryList({QStringLiteral("*.bin")}, QDir::Files)) {
            file.chop(4);
            file.replace(QStringLiteral("ckm"), QStringLiteral("КМ"));
            file.replace(QStringLiteral("cbv"), QStringLiteral("БВ"));
            rows << folder.path() + QLatin1Char(' ') + file;
        }
        rows.sort();
        return rows;
    }

    QString editedFile_;
    QString editedKey_;
    qint64 editedIdNet_ = 0;  // the object the edit was made on
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
        // Whether the save is offered, where its button is always there.
        std::function<bool()> offered = nullptr;
        // The question leaving the screen asks, answered.
        std::function<void()> onLeaving = nullptr;
        // The screen as another object shows it, in build/screens.
        const char* picture = nullptr;
    } saves[] = {
        {"the editor's switch tab", kEditor,
         [this] {
             OpenInTheEditor(QStringLiteral("ckm01.bin"), switchFile_);
             BumpSpin(Editor().TabCPK1->ParamSpins.first());
         },
         [this] { return Editor().TabCPK1->BitSaveKm; }, [this] { AnswerTheEditorsQuestion(); },
         [this] { return EditorPages(); }, [this] { return EditorSaved(); }, kOtherObject, nullptr,
         nullptr, "editor_after_a_return"},
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
         [&] { return Stored(residentsStored); }, kNoApartments, nullptr, nullptr,
         "residents_selection_on_an_object_without_apartments"},
        {"the switch editor", kSwitches,
         [this] {
             Screen<TFrPk>(kSwitches)->BitpkEdit->click();
             QCoreApplication::processEvents();
             BumpSpin(FpkEdit->TCM);
         },
         [] { return FpkEdit->BitSavePk; },
         [this] {
             dialogs_.Expect(QString(), QStringLiteral("Сохранить для данного КМ?"),
                             DlgAnswer::Yes);
         },
         [this] {
             return WithShownLine(SwitchParams(), FpkEdit->LSwitch->text(), FpkEdit->TCM->text());
         },
         [this] { return SwitchParams(); }},
        {"the entrance switch editor", kSwitches,
         [this] {
             Screen<TFrPk>(kSwitches)->BitskEdit->click();
             QCoreApplication::processEvents();
             BumpSpin(FskEdit->KeyObs);
         },
         [] { return FskEdit->BtnSaveO; }, [] {},
         [this] {
             return WithShownLine(CommonKeySlots(),
                                  FskEdit->DBTextKodD->text().trimmed() + QLatin1Char('|') +
                                      FskEdit->DBTextNPod->text().trimmed(),
                                  FskEdit->KeyObs->text());
         },
         [this] { return CommonKeySlots(); }},
        {"the call panel editor", kCallPanels,
         [this] {
             Screen<TFrBv>(kCallPanels)->BitpkEdit->click();
             QCoreApplication::processEvents();
             BumpSpin(FbvEdit->SL);
         },
         [] { return FbvEdit->BitSave; }, [] {},
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
         [] { return FkvEdit->BitSave; }, [] {},
         [this] {
             const QString key = FkvEdit->DBTextHouse->text().trimmed() + QLatin1Char('|') +
                                 FkvEdit->DBTextNPod->text() + QLatin1Char('|') +
                                 FkvEdit->E_kv->text();
             return WithShownLine(
                 ApartmentCalls(), key,
                 FkvEdit->Call->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
         },
         [this] { return ApartmentCalls(); }},
        {"a key typed", kKeys,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             keys->DBGrid1->setCurrentIndex(keys->DBGrid1->model()->index(4, 0));
             keys->E_sn->setFocus();
             QTest::keyClicks(keys->E_sn, QStringLiteral("A1B2C3"));
         },
         [this] { return Screen<TFrKeys>(kKeys)->BitAdd; }, [] {}, [this] { return KeysShown(); },
         [this] { return Keys(); }, kOtherObject,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             return keys->isVisible() && !keys->E_sn->text().isEmpty();
         }},
        {"a key being changed", kKeys,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             keys->DBGrid1->setCurrentIndex(keys->DBGrid1->model()->index(4, 0));
             for (const char* number : {"A1B2C3", "A1B2C4"}) {
                 keys->E_sn->setFocus();
                 QTest::keyClicks(keys->E_sn, QString::fromLatin1(number));
                 keys->BitAdd->click();
             }
             keys->DBGrid2->setCurrentIndex(keys->DBGrid2->model()->index(0, 0));
             editedKey_ = keys->DBGrid2->model()->index(0, 0).data().toString();
             keys->BitEdit->click();
             keys->E_sn->setFocus();
             keys->E_sn->selectAll();
             QTest::keyClicks(keys->E_sn, QStringLiteral("D4E5F6"));
         },
         [this] { return Screen<TFrKeys>(kKeys)->BitAdd; }, [] {},
         [this] {
             QStringList rows = Keys();
             for (QString& row : rows)
                 if (row.endsWith(QLatin1Char(' ') + editedKey_))
                     row.replace(editedKey_,
                                 KeyNumber::FullNumber(Screen<TFrKeys>(kKeys)->E_sn->text()));
             rows.sort();
             return rows;
         },
         [this] { return Keys(); }, kOtherObject,
         [this] {
             TFrKeys* keys = Screen<TFrKeys>(kKeys);
             return keys->isVisible() && !keys->E_sn->text().isEmpty();
         }},
        {"the last apartment of an entrance", kEntrances,
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
             dialogs_.Expect(QStringLiteral("Продолжение"), EntranceTexts::kRecountQuestion,
                             DlgAnswer::Yes);
         },
         [this] { return EntranceLasts(); },
         [this] {
             return Stored(QStringLiteral(
                 "SELECT npkvr FROM k_pod WHERE id_dom = (SELECT MIN(id_dom) FROM k_dom "
                 "WHERE id_net = %1) ORDER BY n_pod"));
         }},
        {"an entrance name in the matrix", kMatrix,
         [this] {
             QTableView* grid = Screen<TFrDom>(kMatrix)->DBGrid3;
             grid->setFocus();
             grid->setCurrentIndex(grid->model()->index(0, 2));
             QTest::keyClick(grid, Qt::Key_X);
         },
         [this] { return Screen<TFrDom>(kMatrix)->BtnSave; }, [] {},
         [this] { return ScreenSnapshot(*Screen<TFrDom>(kMatrix)->DBGrid3); },
         [this] {
             // The matrix as the saved links make it again.
             ShowByMenu(0);
             ShowByMenu(kMatrix);
             return ScreenSnapshot(*Screen<TFrDom>(kMatrix)->DBGrid3);
         },
         kOtherObject, nullptr,
         [this] {
             dialogs_.Expect(QStringLiteral("Вопрос"), QStringLiteral("Сохранить матрицу?"),
                             DlgAnswer::No);
         }},
        {"a device file written", kWriteScreen,
         [this] { Screen<TFrWrite>(kWriteScreen)->ListCdev->item(1)->setSelected(true); },
         [this] { return Screen<TFrWrite>(kWriteScreen)->BitCreate; }, [] {},
         [this] { return DevicesToWrite(); }, [this] { return DevicesWritten(); }, kOtherObject,
         [this] {
             TFrWrite* write = Screen<TFrWrite>(kWriteScreen);
             return write->isVisible() && !write->ListCdev->selectedItems().isEmpty();
         }},
        {"the console's hardware settings", kConsole,
         [this] {
             Screen<TFrPo>(kConsole)->BitAppr->click();
             QCoreApplication::processEvents();
             BumpSpin(FpoAppr->Cbto);
         },
         [] { return FpoAppr->BitSavePo; }, [] {},
         [] { return QStringList{FpoAppr->Cbto->text()}; },
         [this] {
             return Stored(
                 QStringLiteral("SELECT cbto FROM k_po WHERE id_net = %1").arg(editedIdNet_));
         }},
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
        for (Back back : {Back::Stay, Back::Menu, Back::History, Back::F5, Back::OtherObject,
                          Back::OtherObjectAside}) {
            SCOPED_TRACE(std::string(s.what) + ", " + BackName(back));
            StartWithThreeObjects();
            if (HasFatalFailure()) return;
            ShowByMenu(s.screen);
            ASSERT_EQ(s.screen, FMainVesk->VisibleScreen());
            s.edit();
            editedIdNet_ = CurrentIdNet();
            auto offered = [&] {
                if (s.offered) return s.offered();
                QAbstractButton* save = s.save();
                return save->isVisible() && save->isEnabled();
            };
            ASSERT_TRUE(offered()) << "the edit offers the save";
            if (s.onLeaving && back != Back::Stay && back != Back::F5) s.onLeaving();
            ComeBack(back, s.screen, s.other);
            if (back == Back::OtherObject && s.picture) {
                FMainVesk->resize(kWindowRoom);
                SaveScreen(*FMainVesk, QString::fromLatin1(s.picture));
            }
            if (back == Back::Stay) EXPECT_TRUE(offered());
            if (offered()) {
                const QStringList shown = s.shown();
                s.answers();
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
