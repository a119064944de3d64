// The rows the apartment generation writes on the reference object, first
// and again over rows changed by hand, compared row by row with the rows
// kept from before the generation was rewritten for speed; and the data
// module's datasets left showing them.

#include "ApartmentDb.h"
#include "support/RecordedRows.h"

namespace GenerationRowsTestUnit {
namespace {

const QStringList kTables = {"k_net", "k_dom", "k_pod", "k_kvr", "k_key"};

class GenerationRows : public ApartmentDb {
  protected:
    QStringList Written() { return TableRowsOf(Db(), kTables) + DatasetStates(dm_); }
    GenerationResult Run(DlgAnswer answer, int keys) {
        generator_.SetProgress([this](int value, int maximum, bool visible) {
            steps_ << QStringLiteral("%1/%2%3").arg(value).arg(maximum).arg(visible ? ""
                                                                                    : " hidden");
        });
        return Generate(answer, keys, true);
    }
    QStringList steps_;
};

TEST_F(GenerationRows, TheReferenceObjectsApartmentsAreTheRowsTheyAlwaysWere) {
    BuildApartments();
    ExpectRecordedRows("generation_reference", Written());
}

TEST_F(GenerationRows, ARunOverRowsChangedByHandWritesWhatItAlwaysWrote) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    ASSERT_FALSE(pods.isEmpty());
    // Entrance 1: shrunk past two apartments with keys, a manual row and a
    // hand-coded one that repeats a code of entrance 2; entrance 2 grown;
    // the second house's entrance numbered by floors.
    for (int n : {38, 39, 40})
        AddKey(pods[0], RowId(pods[0], n), QStringLiteral("0000000001%1").arg(n));
    AddKey(pods[0], -1, QStringLiteral("0000000000C1"));
    Sql("UPDATE k_kvr SET p_nom=p_nom+1 WHERE id_pod=? AND p_nom>12", {pods[0]});
    Sql("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr) "
        "VALUES (?, ?, 13, '12а', '120', 'ввод')",
        {idNet, pods[0]});
    Sql("UPDATE k_kvr SET n_kvr='5б', p_kvr='45', st_kvr='код', y_key=6 WHERE id_pod=? AND p_nom=5",
        {pods[0]});
    SetRange(pods[0], 1, 37, 37);
    SetRange(pods[1], 41, 86, 46);
    Sql("UPDATE k_pod SET type_n=1, n1kvr=0, npkvr=0, v_kvr=44 WHERE id_pod=?", {pods[2]});

    QStringList written;
    EXPECT_EQ(GenerationResult::Done, Run(DlgAnswer::Yes, 5));
    written << Written();
    EXPECT_EQ(GenerationResult::Done, Run(DlgAnswer::No, 3));
    written << Written();
    ExpectRecordedRows("generation_changed", steps_ + written);
}
}  // namespace
}  // namespace GenerationRowsTestUnit
