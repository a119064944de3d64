// The keys screen's search with the found-keys list, its clipboard commands,
// and the pour-conditions dialog, as the operator uses them; with pictures.

#include "KeysScreenFixture.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFHavKey.h"
#include "keys/ui/TFKeyInKv.h"
#include "keys/ui/TFrKeys.h"
#include "platform/ui/DatasetGrid.h"
#include "support/FakeClipboard.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace KeyScreenFormsTestUnit {

namespace {

const QString kResult = QStringLiteral("Результат поиска");

class KeyScreenFormsTest : public KeysScreenFixture {
  protected:
    void SetUp() override {
        KeysScreenFixture::SetUp();
        FHavKey = found_.get();
    }
    void TearDown() override {
        KeysScreenFixture::TearDown();
        FHavKey = nullptr;
    }
    // The same code in an apartment, among an entrance's common keys and in
    // another object.
    void SeedSharedCode() {
        const QString sql = QStringLiteral(
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met)"
            " VALUES (?, ?, '1A2B3C', ?, ?, ?, ?)");
        Exec(sql, {"0000001A2B3C", entranceIds_[0], ApartmentId(0, 3), objectId_, 0, "0003"});
        Exec(sql, {"0000001A2B3C", entranceIds_[2], -1, objectId_, 1, "0004"});
        Exec(
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status)"
            " VALUES ('0000001A2B3C', ?, '1A2B3C', -2, ?, 1, '0003', 'вставка 01.03.2024')",
            {gateId_, objectId_});
        Exec("INSERT INTO k_net (ident, st_net) VALUES ('Другой объект', 'закрыто')");
        const int other = Count("SELECT MAX(id_net) FROM k_net");
        Exec("INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, '7', '7')", {other});
        Exec("INSERT INTO k_pod (id_net, id_dom, n_pod) VALUES (?, ?, 1)",
             {other, Count("SELECT MAX(id_dom) FROM k_dom")});
        Exec(sql, {"0000001A2B3C", Count("SELECT MAX(id_pod) FROM k_pod"), -1, other, 1, "0001"});
        Reload();
    }
    void SelectListRows(const QList<int>& rows) {
        DatasetGrid* list = frame_->DBGrid2;
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    ScriptedDialogs dialogs_;
    RecordingTones tones_;
    FakeClipboard system_;
    std::unique_ptr<TFHavKey> found_ = std::make_unique<TFHavKey>();
};

TEST_F(KeyScreenFormsTest, AnUnknownKeyIsNotFound) {
    frame_->E_sn->setText(QStringLiteral("C0FFEE"));
    dialogs_.Expect(kResult, QStringLiteral("Ключ не найден!"));
    frame_->BitHav->click();
    frame_->E_sn->clear();
    frame_->BitHav->click();  // nothing typed: nothing happens
}

TEST_F(KeyScreenFormsTest, TheChosenKeyOfTheObjectBringsTheScreenToIt) {
    SeedSharedCode();
    GoToApartment(1, 5);
    frame_->E_sn->setText(QStringLiteral("0000001A2B3C"));
    bool listed = false;
    QTimer::singleShot(0, [&] {
        listed = found_->isVisible() && found_->DBGrid1->model()->rowCount() == 4;
        EXPECT_FALSE(::SaveScreen(*found_, QStringLiteral("key_owners_found")).isEmpty());
        EXPECT_EQ(found_->DBGrid1->model()->headerData(6, Qt::Horizontal).toString(), "Дом");
        // Another object's key cannot be chosen: the list stays.
        dm_->HavKeys->SetRecNo(4);
        dialogs_.Expect(kResult, QStringLiteral("Ключ принадлежит другому объекту!"));
        QTest::keyClick(found_->DBGrid1, Qt::Key_Return);
        EXPECT_TRUE(found_->isVisible());
        dm_->HavKeys->SetRecNo(2);  // the common key of house 2
        QTest::keyClick(found_->DBGrid1, Qt::Key_Return);
    });
    frame_->BitHav->click();
    EXPECT_TRUE(listed);
    EXPECT_FALSE(found_->isVisible());
    EXPECT_TRUE(frame_->RB_ObsKey->isChecked());
    EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[2]);
    EXPECT_EQ(dm_->QOKeys->FieldByName("s_met").AsString(), QStringLiteral("0004"));

    // Closed with Esc on the apartment key: the screen goes there too.
    QTimer::singleShot(0, [&] {
        dm_->HavKeys->SetRecNo(1);
        QTest::keyClick(found_.get(), Qt::Key_Escape);
    });
    frame_->BitHav->click();
    EXPECT_TRUE(frame_->RB_KvrKey->isChecked());
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 3));
    EXPECT_EQ(dm_->QKeys->FieldByName("un_key").AsString(), QStringLiteral("0000001A2B3C"));
}

TEST_F(KeyScreenFormsTest, CopiedKeysArePastedIntoAnotherApartment) {
    GoToApartment(0, 1);
    SelectListRows({0, 1});
    frame_->NCopy->trigger();
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Копир 2"));
    EXPECT_EQ(frame_->ListValue(), 2);
    EXPECT_EQ(frame_->DBGrid2->SelectedCount(), 0);
    EXPECT_EQ(system_.Text(), QStringLiteral("0000001A0001\r\n0000001A0002\r\n"));

    GoToApartment(0, 8);
    dialogs_.Expect(QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?"),
                    DlgAnswer::No);
    frame_->NInsert->trigger();
    EXPECT_EQ(KeysOf(ApartmentId(0, 8)), 0);
    dialogs_.Expect(QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?"),
                    DlgAnswer::Yes);
    frame_->NInsert->trigger();
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Вставл 2"));
    EXPECT_EQ(Scalar("SELECT s_met || ' ' || status FROM k_key WHERE id_kvr=? ORDER BY s_met",
                     {ApartmentId(0, 8)})
                  .toString(),
              QStringLiteral("0001 вставка ") + QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(frame_->DBGrid2->model()->rowCount(), 2);
    EXPECT_EQ(frame_->LCtKeyPod->text(), QStringLiteral("15"));
}

TEST_F(KeyScreenFormsTest, CutKeysLeaveTheListAndTheMenuFollowsTheSelection) {
    GoToApartment(0, 2);
    frame_->NUnselect->trigger();  // the list value becomes 0
    emit frame_->DBGrid2->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(frame_->NXrez->isEnabled());
    EXPECT_FALSE(frame_->NCopy->isEnabled());
    EXPECT_FALSE(frame_->NInsert->isEnabled());  // nothing to paste yet
    frame_->PopupMenu->hide();

    SelectListRows({1});
    QTest::keyPress(frame_->DBGrid2, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Вырез 1"));
    EXPECT_EQ(KeysOf(ApartmentId(0, 2)), 1);
    EXPECT_EQ(frame_->Clipboard()->CopyBuffer(), QStringLiteral("0000001A0004\t0002\r\n"));
    EXPECT_TRUE(frame_->Register()->ChangeFlags().IsSet(1));

    emit frame_->DBGrid2->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(frame_->NInsert->isEnabled());
    frame_->PopupMenu->hide();
    // "Снять выделение" forgets the copied keys.
    frame_->NUnselectClick();
    EXPECT_TRUE(frame_->Clipboard()->CopyBuffer().isEmpty());
}

TEST_F(KeyScreenFormsTest, AGateListWithoutAGatePastesNothing) {
    Exec("DELETE FROM k_bv WHERE bv_type=1");
    Reload();
    frame_->ShowFrKeys();
    frame_->RB_KalKey->click();
    system_.SetText(QStringLiteral("0000001A2B3C\r\n"));
    dialogs_.Expect(QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?"),
                    DlgAnswer::Yes);
    dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Калиток на объекте нет!"));
    QTest::keyClick(frame_->DBGrid2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='1A2B3C'"), 0);
}

// ---------------------------------------------------------------- pour conditions

class KeyPourDialogTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        ASSERT_TRUE(dm_->Q_Dom->Locate("id_dom", houseIds_[0]));
        ASSERT_TRUE(dm_->Q_DPd->Locate("id_pod", entranceIds_[1]));
        // The entrance: 40 apartments (41..80) and the console handset.
        Exec("UPDATE k_pod SET v_kvr=40 WHERE id_pod=?", {entranceIds_[1]});
        dm_->Q_DPd->Reopen();
    }

    ScriptedDialogs dialogs_;
    TFKeyInKv dialog_;
};

TEST_F(KeyPourDialogTest, ShowsTheEntranceAndFollowsTheOperator) {
    dialog_.SetSource(30, 25, 1);
    dialog_.show();
    EXPECT_EQ(dialog_.KolKvIsx->value(), 40);
    EXPECT_EQ(dialog_.Ind_po->value(), 29);
    EXPECT_EQ(dialog_.KolIndItog->value(), 29);
    EXPECT_EQ(dialog_.Kv_n1->value(), 1);
    EXPECT_EQ(dialog_.Kv_np->value(), 29);
    EXPECT_EQ(dialog_.Kv_c->value(), 41);
    EXPECT_EQ(dialog_.Kv_po->value(), 80);
    EXPECT_EQ(dialog_.KvEn1->text(), QStringLiteral("41"));
    EXPECT_EQ(dialog_.KvEnp->text(), QStringLiteral("69"));
    EXPECT_TRUE(dialog_.PanelPod->isEnabled());
    EXPECT_FALSE(dialog_.KolKeys->isVisible());
    EXPECT_FALSE(::SaveScreen(dialog_, QStringLiteral("key_pour_apartments")).isEmpty());

    // A typed first apartment beyond the room left is brought back.
    dialog_.Kv_n1->setValue(30);
    EXPECT_EQ(dialog_.Kv_n1->value(), 12);
    EXPECT_EQ(dialog_.Kv_np->value(), 40);
    EXPECT_EQ(dialog_.KvEnp->text(), QStringLiteral("80"));

    dialog_.CBOb->click();
    EXPECT_FALSE(dialog_.PanelPod->isEnabled());
    EXPECT_TRUE(dialog_.KolKeys->isVisible());
    EXPECT_FALSE(dialog_.KolIndIsx->isVisible());
    EXPECT_EQ(dialog_.Ind_po->value(), 25);
    EXPECT_EQ(dialog_.KolIndItog->value(), 25);
    EXPECT_FALSE(::SaveScreen(dialog_, QStringLiteral("key_pour_common")).isEmpty());

    dialog_.OKBtn->click();
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_.Conditions.Computed());
    // The box is kept for the next showing.
    dialog_.SetSource(12, 10, 1);
    dialog_.show();
    EXPECT_TRUE(dialog_.CBOb->isChecked());
    EXPECT_EQ(dialog_.Ind_po->value(), 10);
    dialog_.CancelBtn->click();
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace KeyScreenFormsTestUnit
