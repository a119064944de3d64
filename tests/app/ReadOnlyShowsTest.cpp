// A screen that is only shown writes nothing. Every screen of the main
// window, each of its modes, and every form the screens and the menu open,
// shown on the reference object: the database file stays byte for byte as it
// was, and where the file cannot be written (a read-only medium) each shows
// without a box and tries no write. Only an operator's write then says the
// file is read-only.
//
// Where the file is not in step with itself (device records not made yet or
// a matrix saved since, a console without its row), the program brings it in
// step on the show that needs it, where the file can be written; on a
// read-only file every screen shows what the file holds.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "config/ui/TFrWrite.h"
#include "devices/SwitchReports.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFrPo.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFrKeys.h"
#include "site/EntranceSwitchEditor.h"
#include "site/MatrixRules.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFskEdit.h"
#include "support/ProgramRoads.h"
#include "support/ReadOnlyPath.h"
#include "support/ReferenceObject.h"

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

namespace ReadOnlyShowsTestUnit {

namespace {

const QString kReadOnly = QStringLiteral("только для чтения");

// A show that a file not brought in step refuses, and the box it says so in.
struct Refusal {
    QString show;
    QString caption;
    QString text;
};

// A show that brings a file not in step with itself there, where the file
// can be written: what it is (as EveryShow names it), and the questions it
// asks (caption, text, ...), each answered Yes.
struct InStep {
    QString show;
    QStringList questions = {};
};

// A state the reference object's file may be in when the program starts.
struct FileState {
    const char* what;
    bool devicesMade;     // false: the file as it was before its device records
    QStringList changes;  // run on the file before the start
    // Where the file can be written, each of these shows on its own brings
    // the file in step: the query then answers made.
    QList<InStep> inStep = {};
    QString query = {};
    std::string made = {};
    // On a read-only file, what the shows meet where the file was not
    // brought in step: a form without a switch, a screen that needs a state.
    QList<Refusal> refused = {};
};

// Without switch records the forms and reports of one have none to show.
const QList<Refusal> kNoSwitches = {
    {QStringLiteral("screen 4, BitskEdit"), QString(), EntranceSwitchTexts::kNoApartments},
    {QStringLiteral("screen 4, BitKlemm"), QStringLiteral("Ошибка"), SwitchReportTexts::kNoSwitch},
    {QStringLiteral("menu MskEdit"), QString(), EntranceSwitchTexts::kNoApartments},
    {QStringLiteral("form FskEdit"), QString(), EntranceSwitchTexts::kNoApartments}};
// The write screen needs the state the device records leave.
const Refusal kNotReadyForFiles{QStringLiteral("screen 10"), QStringLiteral("Ошибка"),
                                ScreenTexts::kNotReadyForFiles};

// Records not made yet are offered by the switch and the panel screens.
const QList<InStep> kOffered = {
    {QStringLiteral("screen 4"), {ScreenTexts::kQuestion, ScreenTexts::kCreateSwitches}},
    {QStringLiteral("screen 5"), {ScreenTexts::kQuestion, ScreenTexts::kCreateCallPanels}}};
// A matrix saved since the records were made is followed by both at once.
const QList<InStep> kSynchronised = {{QStringLiteral("screen 4")}, {QStringLiteral("screen 5")}};
const QString kStates = QStringLiteral("SELECT st_net FROM k_net WHERE id_net=%1");
const QString kSwitches =
    QStringLiteral("SELECT COUNT(*), (SELECT COUNT(*) FROM k_po) FROM k_pk WHERE id_net=%1");

const FileState kReference{"the reference object", true, {}};
// The console screen, and the apartment editor and the residents screen for
// a row that follows the console's times, make the missing row.
const FileState kNoConsoleRow{
    "a console without its row",
    true,
    {QStringLiteral("DELETE FROM k_po")},
    {{QStringLiteral("screen 7")},
     {QStringLiteral("screen 4, BitkvEdit")},
     {QStringLiteral("menu MkvEdit")},
     {QStringLiteral("screen 14")}},
    QStringLiteral("SELECT COUNT(*), MIN(mtdy), MIN(mtnt) FROM k_po WHERE id_net=%1"),
    "1 480 1320"};
const FileState kFileStates[] = {
    kReference,
    {"the devices not made yet, state сохранено", false, {}, kOffered, kSwitches, "3 1",
     kNoSwitches},
    {"the devices not made yet, state закр+сохр",
     false,
     {QStringLiteral("UPDATE k_net SET st_net='закр+сохр'")},
     kOffered,
     kSwitches,
     "3 1",
     kNoSwitches + QList<Refusal>{kNotReadyForFiles}},
    {"the devices made, state сохранено",
     true,
     {QStringLiteral("UPDATE k_net SET st_net='сохранено'")},
     kSynchronised,
     kStates,
     "закрыто"},
    {"the devices made, state закр+сохр",
     true,
     {QStringLiteral("UPDATE k_net SET st_net='закр+сохр'")},
     kSynchronised,
     kStates,
     "закрыто",
     {kNotReadyForFiles}},
    kNoConsoleRow,
    {"the console's file written to it",
     true,
     {QStringLiteral("UPDATE k_po SET kf_pr=3")},
     {{QStringLiteral("screen 4")}},
     QStringLiteral("SELECT kf_pr FROM k_po WHERE id_net=%1"),
     "4"},
    {"the flag masks never set",
     true,
     {QStringLiteral("UPDATE k_net SET flbv=NULL, flpo=''")},
     {{QStringLiteral("screen 3")}},
     QStringLiteral("SELECT flbv, flpo FROM k_net WHERE id_net=%1"),
     "00000000000000110000000000000011 00000000000000010000000000000001"},
};

// One operator's write on a screen, and the caption of the box it meets.
struct Write {
    const char* what;
    int screen;
    QStringList questions;  // caption, text, ... each answered Yes
    std::function<void()> press;
    QString caption;
    const FileState* file = &kReference;
};

// Counts the database engine's refusals to write while it lives: on a
// read-only file each is a write the program tried.
class WritesTried {
  public:
    WritesTried() {
        count_ = 0;
        previous_ = qInstallMessageHandler(&record);
    }
    ~WritesTried() { qInstallMessageHandler(previous_); }
    int Count() const { return count_; }

  private:
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains(QLatin1String("readonly database"))) ++count_;
        if (previous_) previous_(type, context, text);
    }
    static inline int count_ = 0;
    static inline QtMessageHandler previous_ = nullptr;
};

// One way the operator shows something: what it is, and the steps.
struct Shown {
    QString what;
    std::function<void()> show;
};


class ShowingWritesNothing : public ProgramRoads {
  protected:
    static void SetUpTestSuite() {
        ProgramRoads::SetUpTestSuite();
        beforeDevices_ = BuiltByTheProgram({}, [] {
            ReferenceObject reference;
            const bool built = reference.Build(ReferenceStep::Apartments);
            if (!built) ADD_FAILURE() << reference.Error().toStdString();
            return built;
        });
    }
    static void TearDownTestSuite() {
        beforeDevices_.clear();
        ProgramRoads::TearDownTestSuite();
    }

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

    // The program on the reference object in the state given, whose file
    // has also lost its house count (the object panel shows the houses there
    // are); a read-only file and folder where asked.
    void Start(bool readOnly, const FileState& state = kReference) {
        RestoreDatabase(state.devicesMade ? ReferenceDatabase() : beforeDevices_);
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        for (const QString& change : state.changes + QStringList{"UPDATE k_net SET v_dom=0"})
            ASSERT_TRUE(q.exec(change)) << change.toStdString();
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

    // Where the file can be written, the show that brings it in step.
    void BringInStep(const FileState& state, const InStep& way) {
        SCOPED_TRACE(way.show.toStdString());
        for (int i = 0; i + 1 < way.questions.size(); i += 2)
            dialogs_.Expect(way.questions[i], way.questions[i + 1], DlgAnswer::Yes);
        for (const Shown& shown : EveryShow())
            if (shown.what == way.show) shown.show();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        QSqlDatabase file = database_.open();
        EXPECT_EQ(state.made, Rows(file, state.query)) << "showing it made nothing";
        file.close();
        CloseTheForms();
    }

    // Every show, one after the other: none writes, none tries to, and none
    // meets a box but the refusals the state gives a read-only file.
    void ShowEach(const FileState& state, bool readOnly) {
        for (const Shown& shown : EveryShow()) {
            SCOPED_TRACE(shown.what.toStdString());
            for (const Refusal& refusal : state.refused)
                if (readOnly && refusal.show == shown.what)
                    dialogs_.Expect(refusal.caption, refusal.text);
            const QByteArray before = Stored();
            const WritesTried tried;
            shown.show();
            QCoreApplication::processEvents();
            EXPECT_TRUE(before == Stored()) << "showing it wrote into the database folder";
            EXPECT_EQ(0, tried.Count()) << "showing it tried to write";
            dialogs_.VerifyDone();
            CloseTheForms();
        }
    }

    void End() {
        EndTheProgram();
        readOnlyFolder_.reset();
        readOnlyFile_.reset();
    }

    std::optional<ReadOnlyPath> readOnlyFile_;
    std::optional<ReadOnlyPath> readOnlyFolder_;
    static inline QByteArray beforeDevices_;
};

// The file states in a few shares, a test each, so that no one test takes
// long: share k takes the states k, k + kShares, ...
constexpr int kShares = 4;
class ShowingWritesNothingInShare : public ShowingWritesNothing,
                                    public ::testing::WithParamInterface<int> {};

TEST_P(ShowingWritesNothingInShare, EveryScreenModeAndFormShowsWithoutAWrite) {
    for (std::size_t i = std::size_t(GetParam()); i < std::size(kFileStates); i += kShares) {
        const FileState& state = kFileStates[i];
        SCOPED_TRACE(state.what);
        {
            // The first is the one the file that can be written is brought
            // in step by below, before every show.
            SCOPED_TRACE("a file that can be written, each show that brings it in step");
            for (const InStep& way : state.inStep.mid(1)) {
                Start(false, state);
                if (HasFatalFailure()) return;
                BringInStep(state, way);
                End();
            }
        }
        for (bool readOnly : {true, false}) {
            SCOPED_TRACE(readOnly ? "a read-only file" : "a file that can be written");
            Start(readOnly, state);
            if (IsSkipped() || HasFatalFailure()) return;
            dialogs_.VerifyDone();
            if (!readOnly && !state.inStep.isEmpty()) BringInStep(state, state.inStep.first());
            ShowEach(state, readOnly);
            End();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachShare, ShowingWritesNothingInShare, ::testing::Range(0, kShares));

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
        {"the console saved where its row was never made",
         7,
         {},
         [] { qobject_cast<TFrPo*>(FMainVesk->FrameOfScreen(7))->BitSavePo->click(); },
         QStringLiteral("Ошибка"),
         &kNoConsoleRow},
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
    for (const FileState* state : {&kReference, &kNoConsoleRow}) {
        SCOPED_TRACE(state->what);
        Start(true, *state);
        if (IsSkipped() || HasFatalFailure()) return;
        const QByteArray before = FileBytes();
        for (const Write& write : writes) {
            if (write.file != state) continue;
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
        End();
    }
}

}  // namespace
}  // namespace ReadOnlyShowsTestUnit
