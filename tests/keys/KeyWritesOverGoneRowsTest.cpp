// Every write of a key, run after another copy of the program on the same
// file deleted the apartment, entrance, gate panel or object it writes into,
// while this copy's lists still show it: no key lands in a row that is gone,
// the owners' counters still count their keys, and the operator is told in
// Russian what is gone. A batch whose rows go into several apartments is
// refused as a whole when a later row's apartment is gone, though the first
// rows' are there: the check runs for every row, not once per batch.

#include "KeyObjectFixture.h"
#include "PanelFileKeys.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/DumpKeyPour.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyRegister.h"
#include "support/FakeClipboard.h"
#include "support/RecordingTones.h"
#include "support/ScriptedDialogs.h"

namespace KeyWritesOverGoneRowsTestUnit {

namespace {

enum class Gone {
    Apartment,
    LaterApartment,  // the apartment of a batch's second row; the first row's is there
    Entrance,
    Gate,
    Object,
};

enum class KeyWrite {
    NewKey,           // typed on the keys screen, apartment keys
    Change,           // "Изменить", then the new number
    Paste,            // the system clipboard's numbers into an apartment
    Move,             // cut from one apartment, pasted into another
    LostKey,          // "Замена утерянного"
    CommonKey,        // typed, common keys of an entrance
    GateKey,          // typed, keys of the gate
    BekuPour,         // a БЭКУ dump into an entrance's common keys
    MirelApartments,  // a Мирель dump index by index into apartments
    MirelCommon,      // a Мирель dump into common keys
    FileApartments,   // section 5 of an entrance panel's file; the apartment goes as it runs
    FileCommon,       // section 7 of an entrance panel's file
    FileGate,         // section 7 of the gate panel's file
};

const QString kNewCode = QStringLiteral("0D0D01");
const QString kLaterCode = QStringLiteral("0D0D02");  // a batch's second row

struct GoneCase {
    const char* name;
    KeyWrite write;
    Gone gone;
};

const GoneCase kCases[] = {
    {"NewKeyApartment", KeyWrite::NewKey, Gone::Apartment},
    {"NewKeyEntrance", KeyWrite::NewKey, Gone::Entrance},
    {"NewKeyObject", KeyWrite::NewKey, Gone::Object},
    {"ChangeApartment", KeyWrite::Change, Gone::Apartment},
    {"ChangeObject", KeyWrite::Change, Gone::Object},
    {"PasteApartment", KeyWrite::Paste, Gone::Apartment},
    {"PasteEntrance", KeyWrite::Paste, Gone::Entrance},
    {"PasteObject", KeyWrite::Paste, Gone::Object},
    {"MoveApartment", KeyWrite::Move, Gone::Apartment},
    {"LostKeyApartment", KeyWrite::LostKey, Gone::Apartment},
    {"LostKeyObject", KeyWrite::LostKey, Gone::Object},
    {"CommonKeyEntrance", KeyWrite::CommonKey, Gone::Entrance},
    {"CommonKeyObject", KeyWrite::CommonKey, Gone::Object},
    {"GateKeyGate", KeyWrite::GateKey, Gone::Gate},
    {"GateKeyObject", KeyWrite::GateKey, Gone::Object},
    {"BekuPourEntrance", KeyWrite::BekuPour, Gone::Entrance},
    {"BekuPourObject", KeyWrite::BekuPour, Gone::Object},
    {"MirelApartmentsApartment", KeyWrite::MirelApartments, Gone::Apartment},
    {"MirelApartmentsEntrance", KeyWrite::MirelApartments, Gone::Entrance},
    {"MirelApartmentsLaterApartment", KeyWrite::MirelApartments, Gone::LaterApartment},
    {"FileApartmentsLaterApartment", KeyWrite::FileApartments, Gone::LaterApartment},
    {"MirelCommonEntrance", KeyWrite::MirelCommon, Gone::Entrance},
    {"FileCommonEntrance", KeyWrite::FileCommon, Gone::Entrance},
    {"FileCommonObject", KeyWrite::FileCommon, Gone::Object},
    {"FileGateGate", KeyWrite::FileGate, Gone::Gate},
    {"FileGateObject", KeyWrite::FileGate, Gone::Object},
};

void PrintTo(const GoneCase& c, std::ostream* os) {
    *os << c.name;
}

Keys7List sectionSeven(const QStringList& keys) {
    Keys7List list;
    list.keys = keys;
    list.kolSl7 = int(keys.size());
    return list;
}

// The codes a write stores, one a row: a second row into the next apartment
// when that one is the apartment gone.
QStringList batchOf(Gone gone) {
    return gone == Gone::LaterApartment ? QStringList{kNewCode, kLaterCode} : QStringList{kNewCode};
}

class KeyWritesOverGoneRows : public KeyObjectFixture,
                              public ::testing::WithParamInterface<GoneCase> {
  protected:
    // The apartment the writes go into, a batch's second row into the next
    // one; the change and the cut start from the first one, whose keys are
    // 1A0001 and 1A0002.
    static constexpr int kTarget = 6;
    static constexpr int kFirst = 1;

    void SetUp() override {
        KeyObjectFixture::SetUp();
        keys_ = std::make_unique<KeyRegister>(*dm_);
        editor_ = std::make_unique<KeyListEditor>(*keys_);
        clip_ = std::make_unique<KeyClipboard>(*keys_, *editor_);
    }
    void TearDown() override {
        clip_.reset();
        editor_.reset();
        keys_.reset();
        KeyObjectFixture::TearDown();
    }

    // What the operator did before the other copy deleted the rows: the
    // lists put on the owner, a change begun, keys cut, a file read.
    void Prepare(KeyWrite write) {
        switch (write) {
            case KeyWrite::Change: {
                keys_->SetMode(KeyGroup::Apartment);
                GoToApartment(0, kFirst);
                ASSERT_TRUE(dm_->QKeys->Locate("bv_key", QStringLiteral("1A0001")));
                QString number, label;
                ASSERT_TRUE(keys_->BeginEdit(&number, &label));
                break;
            }
            case KeyWrite::Move:
                keys_->SetMode(KeyGroup::Apartment);
                GoToApartment(0, kFirst);
                ASSERT_EQ(clip_->Cut({1}), 1);
                GoToApartment(0, kTarget);
                break;
            case KeyWrite::CommonKey:
                keys_->SetMode(KeyGroup::Entrance);
                keys_->SetOptions({.autoMove = false, .noLimitQuestion = true});
                ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[0]));
                break;
            case KeyWrite::GateKey:
                keys_->SetMode(KeyGroup::Gate);
                ASSERT_TRUE(dm_->QKalKey->Locate("id_bv", gateId_));
                break;
            case KeyWrite::LostKey:
                keys_->SetMode(KeyGroup::Ter);
                GoToApartment(0, kTarget);
                break;
            case KeyWrite::MirelApartments:
            case KeyWrite::MirelCommon: {
                QList<DumpEntrance> entrances;
                ASSERT_TRUE(ReadDumpEntrances(*dm_, objectId_, entrances, nullptr));
                entrance_ = entrances.value(0);
                ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance_));
                break;
            }
            case KeyWrite::FileCommon:
            case KeyWrite::FileApartments:
                ident_ =
                    ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, EntrancePanelNet(0)).ident;
                break;
            case KeyWrite::FileGate:
                ident_ = ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, kGateNet).ident;
                break;
            default:
                keys_->SetMode(KeyGroup::Apartment);
                GoToApartment(0, kTarget);
                break;
        }
    }

    void Write(KeyWrite write, const QStringList& codes) {
        const int rows = int(codes.size());
        switch (write) {
            case KeyWrite::NewKey:
            case KeyWrite::Change:
            case KeyWrite::LostKey:
            case KeyWrite::CommonKey:
            case KeyWrite::GateKey:
                EXPECT_NE(keys_->Confirm(kNewCode, QString()).outcome, ConfirmOutcome::Stored);
                break;
            case KeyWrite::Paste:
                system_.SetText(QStringLiteral("00000") + kNewCode + QStringLiteral("\r\n"));
                EXPECT_EQ(clip_->Paste().pasted, 0);
                break;
            case KeyWrite::Move:
                EXPECT_EQ(clip_->Paste().pasted, 0);
                break;
            case KeyWrite::BekuPour:
                EXPECT_TRUE(PourBekuKeys(*dm_, entranceIds_[0], {kNewCode}).failed);
                break;
            case KeyWrite::MirelApartments: {
                QList<MirelKeyRow> indexed;  // index i + 1 into apartment kTarget + i
                for (int i = 0; i < rows; ++i) indexed << MirelKeyRow{codes[i], i + 1};
                EXPECT_TRUE(
                    PourMirelKeys(*dm_, entrance_, indexed, {false, 1, rows, kTarget}).failed);
                break;
            }
            case KeyWrite::MirelCommon:
                EXPECT_TRUE(
                    PourMirelKeys(*dm_, entrance_, {{kNewCode, 1}}, {true, 1, 1, 1}).failed);
                break;
            case KeyWrite::FileCommon:
            case KeyWrite::FileGate:
                EXPECT_TRUE(EnterConfigKeys(*dm_, ident_, {}, {}, sectionSeven({kNewCode}),
                                            {write == KeyWrite::FileGate, true}, 63)
                                .failed);
                break;
            case KeyWrite::FileApartments: {
                Keys5List section5;  // walk position kTarget + i: apartment kTarget + i
                for (int i = 0; i < rows; ++i)
                    section5.rows << Keys5Row{QString::number(kTarget + i), codes[i],
                                              MainSlotMark()};
                section5.kolSl5 = rows;
                // The entry reads the panel's apartments as it begins, before
                // its transaction: the other copy deletes between that read
                // and the first key's write.
                bool deleted = false;
                const ProgressFn atFirstKey = [&](int value, int, bool visible) {
                    if (deleted || value == 0 || !visible) return;
                    deleted = true;
                    DeleteBehindTheBack(Gone::LaterApartment);
                };
                EXPECT_TRUE(
                    EnterConfigKeys(*dm_, ident_, section5, {}, {}, {true, false}, 63, atFirstKey)
                        .failed);
                EXPECT_TRUE(deleted);
                break;
            }
        }
    }

    // Whether the other copy deletes while the write runs rather than before.
    static bool DeletesWhileWriting(KeyWrite write) { return write == KeyWrite::FileApartments; }

    // The key of the row the other copy deletes, read before the write: a
    // read of this copy's inside the write's transaction would keep the other
    // copy out of the file.
    int GoneRowId(Gone gone, KeyWrite write) {
        switch (gone) {
            case Gone::Apartment:
                return ApartmentId(0, write == KeyWrite::Change ? kFirst : kTarget);
            case Gone::LaterApartment:
                return ApartmentId(0, kTarget + 1);
            case Gone::Entrance:
                return entranceIds_[0];
            case Gone::Gate:
                return gateId_;
            case Gone::Object:
                return objectId_;
        }
        return 0;
    }

    // Another copy of the program deletes the row with what hangs on it, as
    // the program's own deletions do, on a connection of its own.
    void DeleteBehindTheBack(Gone gone) {
        QStringList sql;
        switch (gone) {
            case Gone::Apartment:
            case Gone::LaterApartment:
                sql << "DELETE FROM k_key WHERE id_kvr=%1"
                    << "DELETE FROM k_kvr WHERE id_kvr=%1";
                break;
            case Gone::Entrance:
                sql << "DELETE FROM k_key WHERE id_pod=%1 AND id_kvr > -2"
                    << "DELETE FROM k_kvr WHERE id_pod=%1"
                    << "DELETE FROM k_pod WHERE id_pod=%1";
                break;
            case Gone::Gate:
                sql << "DELETE FROM k_key WHERE id_kvr=-2 AND id_pod=%1"
                    << "DELETE FROM m_bv WHERE id_bv=%1"
                    << "DELETE FROM k_bv WHERE id_bv=%1";
                break;
            case Gone::Object:
                for (const char* table :
                     {"k_key", "k_kvr", "k_pod", "k_dom", "m_bv", "m_pk", "k_bv", "k_pk", "k_net"})
                    sql << QStringLiteral("DELETE FROM %1 WHERE id_net=%2")
                               .arg(QLatin1String(table), QStringLiteral("%1"));
                break;
        }
        QSqlDatabase other = tdb_.open();
        for (const QString& statement : std::as_const(sql)) {
            QSqlQuery q(other);
            ASSERT_TRUE(q.exec(statement.arg(goneId_)))
                << statement.toStdString() << ": " << q.lastError().text().toStdString();
        }
    }

    // What the message names.
    static QString Told(const GoneCase& c) {
        if (c.write == KeyWrite::Change)
            return QStringLiteral("Ключ 0000001A0001 удалён; изменения не сохранены.");
        switch (c.gone) {
            case Gone::Apartment:
                return QStringLiteral("Квартира %1 удалена.").arg(kTarget);
            case Gone::LaterApartment:
                return QStringLiteral("Квартира %1 удалена.").arg(kTarget + 1);
            case Gone::Entrance:
                return QStringLiteral("Подъезд 1 дома 1 удалён.");
            case Gone::Gate:
                return QStringLiteral("Блок вызова «БВ01 калитка» удалён.");
            case Gone::Object:
                return QStringLiteral("Объект «Дом на Садовой» удалён.");
        }
        return {};
    }

    // Keys whose apartment, entrance, gate panel or object the file lacks.
    int KeysOfNothing() {
        return Count(
            "SELECT COUNT(*) FROM k_key y WHERE"
            " NOT EXISTS (SELECT 1 FROM k_net n WHERE n.id_net = y.id_net)"
            " OR (y.id_kvr > 0 AND NOT EXISTS (SELECT 1 FROM k_kvr r WHERE r.id_kvr = y.id_kvr))"
            " OR (y.id_kvr = -1 AND NOT EXISTS (SELECT 1 FROM k_pod p WHERE p.id_pod = y.id_pod))"
            " OR (y.id_kvr = -2 AND NOT EXISTS (SELECT 1 FROM k_bv b WHERE b.id_bv = y.id_pod))");
    }
    // Apartments and entrances whose counters are not their keys.
    int CountersOff() {
        return Count(
                   "SELECT COUNT(*) FROM k_kvr r WHERE"
                   " y_key <> (SELECT COUNT(*) FROM k_key y WHERE y.id_kvr = r.id_kvr)") +
               Count(
                   "SELECT COUNT(*) FROM k_pod p WHERE o_rky <>"
                   " (SELECT COUNT(*) FROM k_key y WHERE y.id_kvr = -1 AND y.id_pod = p.id_pod)");
    }

    FakeClipboard system_;
    RecordingTones tones_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<KeyRegister> keys_;
    std::unique_ptr<KeyListEditor> editor_;
    std::unique_ptr<KeyClipboard> clip_;
    DumpEntrance entrance_;
    ConfigFileIdent ident_;
    int goneId_ = 0;  // GoneRowId
};

TEST_P(KeyWritesOverGoneRows, NothingLandsInARowThatIsGoneAndTheOperatorIsTold) {
    const GoneCase c = GetParam();
    goneId_ = GoneRowId(c.gone, c.write);
    Prepare(c.write);
    ASSERT_EQ(KeysOfNothing(), 0);
    ASSERT_EQ(CountersOff(), 0);
    if (!DeletesWhileWriting(c.write)) DeleteBehindTheBack(c.gone);
    ASSERT_EQ(KeysOfNothing(), 0) << "the other copy deleted as the program does";

    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), Told(c));
    Write(c.write, batchOf(c.gone));
    dialogs_.VerifyDone();
    EXPECT_EQ(KeysOfNothing(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key IN (?, ?)", {kNewCode, kLaterCode}), 0)
        << "a batch whose later row was refused is rolled back whole";
    EXPECT_EQ(CountersOff(), 0);
    if (c.write == KeyWrite::Move) {
        // The cut key was not pasted anywhere: it waits in the copy buffer.
        EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='1A0001'"), 0);
        EXPECT_TRUE(clip_->CopyBuffer().startsWith(QStringLiteral("0000001A0001\t")));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKeyWrite, KeyWritesOverGoneRows, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GoneCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace KeyWritesOverGoneRowsTestUnit
