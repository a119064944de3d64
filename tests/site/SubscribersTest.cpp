// The residents list without its window: the filter of typed prefixes, the
// sort by grid columns, the quota and name rules, the save with its marks;
// and the arrows' auto-repeat both editors share.
#include "SwitchRecordsDb.h"
#include "site/ArrowRepeat.h"
#include "site/Subscribers.h"

namespace SubscribersTestUnit {
namespace {

class SubscriberListDb : public SwitchRecordsDb {
  protected:
    void SetUp() override {
        SwitchRecordsDb::SetUp();
        SetUpObject();
        ppl_ = dm_.Q_Ppl;
        ppl_->Open();
        const QStringList surnames = {"Иванов",  "ИВАНОВА", "Сивов",  "иволгин", "Ив%нов",
                                      "Ив_нова", "Д'Арк",   "Петров", "Ивлев"};
        for (int i = 0; i < surnames.size(); ++i)
            Sql("UPDATE k_kvr SET Fam=? WHERE id_pod=? AND p_nom=?",
                {surnames[i], pods_[0], i + 1});
    }
    // Surnames of the listed rows that have one, in list order.
    QStringList Listed() {
        QStringList names;
        for (int r = 0; r < ppl_->RecordCount(); ++r) {
            const QString fam = ppl_->Value(r, ppl_->FieldIndex("Fam")).toString();
            if (!fam.isEmpty()) names << fam;
        }
        return names;
    }
    QStringList Filtered(const QString& fam) {
        SubscriberFilterTexts texts;
        texts.fam = fam;
        list_.SetFilter(texts);
        EXPECT_TRUE(list_.Requery(ppl_)) << ppl_->LastError().toStdString();
        return Listed();
    }

    SubscriberList list_;
    Dataset* ppl_ = nullptr;
};

TEST(SubscriberRules, QuotaFollowsTheKeysHeldAndTheObjectsDefault) {
    EXPECT_EQ(4, SubscriberKeyQuota(2, 3, 4));
    EXPECT_EQ(0, SubscriberKeyQuota(0, 0, 4));
    EXPECT_EQ(0, SubscriberKeyQuota(0, 2, 4));
    EXPECT_EQ(5, SubscriberKeyQuota(0, 5, 4));
    EXPECT_EQ(7, SubscriberKeyQuota(6, 7, 4));
}

TEST(SubscriberRules, NamesTakeOneCapitalAndBlanksNone) {
    EXPECT_EQ(QStringLiteral("Петров"), NameCase(QStringLiteral("пЕТРОВ")));
    EXPECT_EQ(QStringLiteral("Анна"), NameCase(QStringLiteral("  аННА ")));
    EXPECT_EQ(QString(), NameCase(QStringLiteral("   ")));
}

TEST(SubscriberRules, TheSelectionCycle) {
    EXPECT_EQ(SearchState::Entering, NextSearchState(SearchState::Editing, true));
    EXPECT_EQ(SearchState::Editing, NextSearchState(SearchState::Entering, true));
    EXPECT_EQ(SearchState::Selected, NextSearchState(SearchState::Entering, false));
    EXPECT_EQ(SearchState::Editing, NextSearchState(SearchState::Selected, false));
    EXPECT_EQ(QStringLiteral("Подтвердить выборку"), SearchCaption(SearchState::Entering));
    EXPECT_EQ(QStringLiteral("Ввод параметров выбора"), SearchLabel(SearchState::Entering));
    EXPECT_EQ(QStringLiteral("Редактирование"), SearchLabel(SearchState::Selected));
    EXPECT_EQ(QStringLiteral("Фамилия*"), SubscriberFieldLabel(SubscriberField::Fam, true));
    EXPECT_EQ(QStringLiteral("Квартира №"), SubscriberFieldLabel(SubscriberField::Number, false));
}

TEST_F(SubscriberListDb, APrefixMatchesEitherCaseAndItsSignsLiterally) {
    EXPECT_EQ(QStringList({"Иванов", "ИВАНОВА", "иволгин", "Ив%нов", "Ив_нова", "Ивлев"}),
              Filtered(QStringLiteral("Ив")));
    EXPECT_EQ(QStringList({"Ив%нов"}), Filtered(QStringLiteral("ив%")));
    EXPECT_EQ(QStringList({"Ив_нова"}), Filtered(QStringLiteral("Ив_")));
    EXPECT_EQ(QStringList({"Д'Арк"}), Filtered(QStringLiteral("д'")));
    EXPECT_EQ(QStringList(), Filtered(QStringLiteral("x' OR 1=1 --")));
    Filtered(QStringLiteral("  "));
    EXPECT_EQ(123, ppl_->RecordCount());
    EXPECT_TRUE(list_.FilterEmpty());

    // Several fields narrow together; the labels say which.
    SubscriberFilterTexts texts;
    texts.fam = QStringLiteral("ив");
    texts.number = QStringLiteral("4");
    const QList<bool> inForce = list_.SetFilter(texts);
    EXPECT_EQ(QList<bool>({true, false, false, true, false}), inForce);
    ASSERT_TRUE(list_.Requery(ppl_));
    EXPECT_EQ(QStringList({"иволгин"}), Listed());
}

// A character outside the Basic Multilingual Plane is one letter of the
// prefix, as it is one character of the name.
TEST_F(SubscriberListDb, ANameWithACharacterBeyondTheBasicPlaneIsFoundByItsOwnText) {
    const QStringList surnames = {"𝔸льфин", "𝔸𝔹ов", "𐐀ндрей"};
    for (int i = 0; i < surnames.size(); ++i)
        Sql("UPDATE k_kvr SET Fam=? WHERE id_pod=? AND p_nom=?", {surnames[i], pods_[1], i + 1});
    EXPECT_EQ(QStringList({"𝔸льфин", "𝔸𝔹ов"}), Filtered(QStringLiteral("𝔸")));
    EXPECT_EQ(QStringList({"𝔸льфин"}), Filtered(QStringLiteral("𝔸льфин")));
    EXPECT_EQ(QStringList({"𝔸льфин"}), Filtered(QStringLiteral("𝔸ЛЬ")));
    EXPECT_EQ(QStringList({"𝔸𝔹ов"}), Filtered(QStringLiteral("𝔸𝔹")));
    EXPECT_EQ(QStringList(), Filtered(QStringLiteral("𝔸𝔸")));
    // Either case of a letter there: Deseret capital and small long I.
    EXPECT_EQ(QStringList({"𐐀ндрей"}), Filtered(QStringLiteral("𐐨Н")));
}

TEST_F(SubscriberListDb, ATitleClickedThreeTimesSortsUpThenDownThenNot) {
    list_.CycleSort(QStringLiteral("Fam"));
    EXPECT_EQ(QStringList{"Fam"}, list_.SortItems());
    EXPECT_EQ(QStringList{"Фамилия возрастание"}, list_.SortView());
    list_.CycleSort(QStringLiteral("n_pod"));
    list_.CycleSort(QStringLiteral("Fam"));
    EXPECT_EQ(QStringList({"Fam DESC", "n_pod"}), list_.SortItems());
    EXPECT_EQ(QStringList({"Фамилия убывание", "Подъезд № возрастание"}), list_.SortView());
    list_.ApplySort();
    ASSERT_TRUE(list_.Requery(ppl_));
    ASSERT_FALSE(Listed().isEmpty());
    EXPECT_EQ(QStringLiteral("иволгин"), Listed().first());  // lower case sorts last in SQLite
    list_.CycleSort(QStringLiteral("Fam"));
    list_.CycleSort(QStringLiteral("n_pod"));
    list_.CycleSort(QStringLiteral("n_pod"));
    list_.CycleSort(QStringLiteral("id_net; DROP TABLE k_kvr"));
    EXPECT_TRUE(list_.SortItems().isEmpty());
    // Sort mode ended with no items keeps the order there was.
    list_.ApplySort();
    EXPECT_TRUE(list_.Ordered());
    list_.ClearSort();
    EXPECT_FALSE(list_.Ordered());
}

TEST_F(SubscriberListDb, RequeryKeepsTheRowItStoodOn) {
    const qint64 id = RowId(pods_[0], 2);
    list_.CycleSort(QStringLiteral("Fam"));
    list_.ApplySort();
    ASSERT_TRUE(list_.Requery(ppl_, id));
    EXPECT_EQ(id, ppl_->FieldByName("id_kvr").AsLargeInt());
    // The object moves: the list follows it.
    EXPECT_EQ(idNet_, ppl_->FieldByName("v.id_net").AsLargeInt());
}

TEST_F(SubscriberListDb, SavingWritesNamesAndMarksWhatTheDevicesCarry) {
    SetFileStates(idNet_, 1);
    const qint64 id = RowId(pods_[0], 12);
    ApartmentValues v = StoredValues(id);
    v.fam = QStringLiteral("пЕТРОВ");
    v.nam = QStringLiteral("   ");
    v.och = QStringLiteral("иванович");
    ASSERT_TRUE(StoreSubscriber(id, v).saved);
    EXPECT_EQ(QStringLiteral("Петров||Иванович"),
              Rows("SELECT Fam, Nam, Och FROM k_kvr WHERE id_kvr=?", {id}).join(""));
    // Names are on no device.
    EXPECT_EQ(QStringLiteral("111"), FileStates("k_pk", idNet_).join(""));
    EXPECT_EQ(QStringLiteral("1111"), FileStates("k_bv", idNet_).join(""));

    v.call = !v.call;
    v.followsConsole = false;
    v.dayMinutes = 400;
    ASSERT_TRUE(StoreSubscriber(id, v).saved);
    EXPECT_EQ(QStringLiteral("111"), FileStates("k_pk", idNet_).join(""));
    EXPECT_EQ(QStringLiteral("2222"), FileStates("k_bv", idNet_).join(""));
    EXPECT_EQ(QStringLiteral("2"), FileStates("k_po", idNet_).join(""));
    v.callBack = !v.callBack;
    ASSERT_TRUE(StoreSubscriber(id, v).saved);
    EXPECT_EQ(QStringLiteral("211"), FileStates("k_pk", idNet_).join(""));
}

TEST_F(SubscriberListDb, ACodeAnyRowOfTheHouseHoldsIsRefusedAnEmptyOneIsAccepted) {
    const qint64 id = RowId(pods_[0], 12);
    ApartmentValues v = StoredValues(id);
    // The console handset of the other entrance of the house holds the
    // object's console code.
    Sql("UPDATE k_kvr SET p_kvr='901' WHERE id_pod=? AND st_kvr='СПО'", {pods_[1]});
    v.code = QStringLiteral("901");
    v.fam = QStringLiteral("Новиков");
    dialogs_.Expect(ApartmentRowTexts::kError, ApartmentRowTexts::kCodeTaken);
    const SubscriberSaveOutcome refused = StoreSubscriber(id, v);
    EXPECT_FALSE(refused.saved);
    EXPECT_TRUE(refused.codeTaken);
    EXPECT_EQ(QStringLiteral("12|"),
              Rows("SELECT p_kvr, Fam FROM k_kvr WHERE id_kvr=?", {id}).join(""));
    v.code.clear();
    ASSERT_TRUE(StoreSubscriber(id, v).saved);
    EXPECT_EQ(QStringLiteral("|Новиков"),
              Rows("SELECT p_kvr, Fam FROM k_kvr WHERE id_kvr=?", {id}).join(""));
}

TEST(ArrowRepeatTimer, StepsSoonerEachTickAndStopsAtTheEnd) {
    int row = 0;
    int shown = 0;
    ArrowRepeat repeat(
        [&row](int direction) {
            if (row + direction < 0 || row + direction > 30) return false;
            row += direction;
            return true;
        },
        [&shown] { ++shown; });
    repeat.Press(+1);
    EXPECT_TRUE(repeat.Running());
    EXPECT_EQ(1, repeat.Held());
    QList<int> intervals = {repeat.Interval()};
    for (int i = 0; i < 24; ++i) {
        repeat.Tick();
        intervals << repeat.Interval();
    }
    ASSERT_FALSE(intervals.isEmpty());
    EXPECT_EQ(200, intervals[0]);
    EXPECT_EQ(191, intervals[1]);
    EXPECT_EQ(11, intervals[21]);
    EXPECT_EQ(2, intervals[22]);
    EXPECT_EQ(2, intervals[24]);
    EXPECT_EQ(24, row);
    for (int i = 0; i < 10; ++i) repeat.Tick();
    EXPECT_EQ(30, row);
    EXPECT_FALSE(repeat.Running());
    EXPECT_EQ(1, shown);
    repeat.Release();
    EXPECT_EQ(0, repeat.Held());
    EXPECT_EQ(2, shown);
    EXPECT_EQ(200, repeat.Interval());
}
}  // namespace
}  // namespace SubscribersTestUnit
