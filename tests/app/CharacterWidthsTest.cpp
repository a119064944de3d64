// A text typed to its column's width counts characters, as the database does:
// a character beyond the Basic Multilingual Plane (two UTF-16 units) in the
// last place is kept whole, one past the width is left out whole, and the
// file holds what the field shows. One row for every stored text the program
// cuts, each reached as the operator reaches it.

#include "app/TFMainVesk.h"
#include "devices/SecurityPost.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFrPo.h"
#include "foundation/GlobalParams.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFGlVal.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentList.h"
#include "site/ApartmentRow.h"
#include "site/EntranceScreen.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/ProgramRoads.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>

#include <functional>

namespace CharacterWidthsTestUnit {
namespace {

class CharacterWidths : public ProgramRoads {
  protected:
    QString Stored(const QString& sql) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        const QString value = q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("?");
        q.finish();
        file.close();
        return value;
    }
    template <class Frame>
    Frame* Shown(int screen) {
        return qobject_cast<Frame*>(FMainVesk->FrameOfScreen(screen));
    }
    static constexpr int kKeyLabelWidth = 50;  // k_key.s_met
    static inline const QString kKey = QStringLiteral("ABC123");

    void AddTheKey() { Shown<TFrKeys>(9)->BitAdd->click(); }
    // The key cut from its list on the key screen and pasted into the list of
    // the first apartment that has no key.
    void MoveTheKeyToAnApartmentWithoutKeys() {
        TFrKeys* keys = Shown<TFrKeys>(9);
        DatasetGrid* list = keys->DBGrid2;
        list->clearSelection();
        const int number = FDM->QKeys->FieldIndex(QStringLiteral("bv_key"));
        for (int row = 0; row < FDM->QKeys->RecordCount(); ++row)
            if (FDM->QKeys->Value(row, number).toString() == kKey)
                list->selectionModel()->select(
                    list->model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        keys->NXrez->trigger();
        const QString keyless = Stored(QStringLiteral(
            "SELECT MIN(id_kvr) FROM k_kvr WHERE id_kvr NOT IN (SELECT id_kvr FROM k_key)"));
        ASSERT_TRUE(FDM->QForKey->Locate(QStringLiteral("id_kvr"), keyless.toLongLong()));
        dialogs_.Expect(QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?"),
                        DlgAnswer::Yes);
        keys->NInsert->trigger();
    }
    // What a line or a text field shows.
    static QString TextOf(QWidget* field) {
        if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text();
        if (auto* text = qobject_cast<QPlainTextEdit*>(field)) return text->toPlainText();
        return QStringLiteral("?");
    }
    // The field's text replaced by what is typed, a key a character.
    static void TypeOver(QWidget* field, const QString& typed) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        for (char32_t c : typed.toUcs4())
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
    }
};

// Every other field in each half, so that each half is a test of its own.
class CharacterWidthsInHalves : public CharacterWidths, public ::testing::WithParamInterface<int> {};

TEST_P(CharacterWidthsInHalves, ATextIsCutByWholeCharactersInTheFieldAndTheFile) {
    qint64 idKvr = 0;
    // The resident's fields, on the current apartment of the residents' screen.
    const auto resident = [&](QLineEdit* TFrPiople::*field) {
        return [this, &idKvr, field]() -> QWidget* {
            idKvr = FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
            return Shown<TFrPiople>(14)->*field;
        };
    };
    const auto apartmentStored = [&](const char* column) {
        return [this, &idKvr, column] {
            return Stored(QStringLiteral("SELECT %1 FROM k_kvr WHERE id_kvr=%2")
                              .arg(QLatin1String(column))
                              .arg(idKvr));
        };
    };
    const auto saveResident = [this] { Shown<TFrPiople>(14)->BitSave->click(); };
    const auto objectStored = [this](const char* column) {
        return [this, column] {
            return Stored(QStringLiteral("SELECT %1 FROM k_net WHERE id_net=%2")
                              .arg(QLatin1String(column))
                              .arg(IdNet()));
        };
    };
    const auto saveObject = [this] { Shown<TFrMatr>(1)->BitSave->click(); };
    // Leaving a field of the entrance screen's grids stores it.
    const auto leaveField = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
    const QString firstEntrance = QStringLiteral(
        "SELECT %1 FROM k_pod WHERE id_dom=(SELECT MIN(id_dom) FROM k_dom WHERE id_net=%2) "
        "ORDER BY n_pod LIMIT 1");
    int flagNumber = 0;
    const auto newKeyLabel = [this] {
        TFrKeys* keys = Shown<TFrKeys>(9);
        if (keys->CB_ANom->isChecked()) keys->CB_ANom->click();  // the label as typed
        keys->E_sn->setText(kKey);
        return keys->E_Met;
    };
    const auto keyLabel = [this] {
        return Stored(QStringLiteral("SELECT s_met FROM k_key WHERE bv_key='%1'").arg(kKey));
    };

    struct Field {
        const char* what;
        int screen, width;
        std::function<QWidget*()> open;  // the field, ready to type in
        std::function<void()> save;
        std::function<QString()> stored;
        // The character typed last: one beyond the Basic Multilingual Plane,
        // or for a slide, whose file has no such character, one of its own.
        QString wide = QStringLiteral("\U0001F3E0");  // a house
    };
    // A line of the console's slides, on the console screen.
    const auto slide = [this](QLineEdit* TFrPo::*line, const char* column) {
        return Field{column,
                     7,
                     kSlideWidth,
                     [this, line] { return Shown<TFrPo>(7)->*line; },
                     [this] { Shown<TFrPo>(7)->BitSavePo->click(); },
                     [this, column] {
                         return Stored(QStringLiteral("SELECT %1 FROM k_po WHERE id_net=%2")
                                           .arg(QLatin1String(column))
                                           .arg(IdNet()));
                     },
                     QStringLiteral("№")};
    };
    const Field fields[] = {
        {"resident's surname", 14, ApartmentRowLimits::kNameWidth, resident(&TFrPiople::EFam),
         saveResident, apartmentStored("Fam")},
        {"resident's name", 14, ApartmentRowLimits::kNameWidth, resident(&TFrPiople::ENam),
         saveResident, apartmentStored("Nam")},
        {"resident's patronymic", 14, ApartmentRowLimits::kNameWidth, resident(&TFrPiople::EOch),
         saveResident, apartmentStored("Och")},
        {"resident's apartment number", 14, ApartmentWidths::kNumber, resident(&TFrPiople::E_kv),
         saveResident, apartmentStored("n_kvr")},
        {"object's name", 1, ObjectWidths::kName,
         [this] {
             Shown<TFrMatr>(1)->BEdit->click();
             return Shown<TFrMatr>(1)->P1_ENew;
         },
         saveObject, objectStored("ident")},
        {"object's address", 1, ObjectWidths::kAddress,
         [this] {
             Shown<TFrMatr>(1)->BEdit->click();
             return Shown<TFrMatr>(1)->P1_EAdr;
         },
         saveObject, objectStored("adres")},
        {"entrance's name", 3, EntranceLimits::kEntranceName,
         [this] {
             if (!Shown<TFrPod>(3)->ChNomPod->isChecked()) Shown<TFrPod>(3)->ChNomPod->click();
             return Shown<TFrPod>(3)->CGridP->Editor(0, QStringLiteral("nm_pod"));
         },
         leaveField,
         [&] { return Stored(firstEntrance.arg(QStringLiteral("nm_pod")).arg(IdNet())); }},
        {"house's name", 3, EntranceLimits::kHouseName,
         [this] { return Shown<TFrPod>(3)->CGridD->Editor(0, QStringLiteral("house")); },
         leaveField,
         [this] {
             return Stored(QStringLiteral("SELECT house FROM k_dom WHERE id_net=%1 ORDER BY "
                                          "id_dom LIMIT 1")
                               .arg(IdNet()));
         }},
        {"flag's name", 0, GlobalParams::kFlagNameWidth,
         [&] {
             Menu(QStringLiteral("MGlobal"));
             FGlVal->PassEdit->setText(GlobalParams::kAccessCode);
             FGlVal->ButApp->click();
             flagNumber = FGlVal->NumbFl->value();
             return FGlVal->NameFl;
         },
         [] { FGlVal->ButYes->click(); },
         [&] {
             return Stored(QStringLiteral("SELECT namf FROM t_fl WHERE tabl='%1' AND nomf=%2")
                               .arg(FGlVal->TypeFl->currentText())
                               .arg(flagNumber));
         }},
        {"key's label", 9, kKeyLabelWidth, newKeyLabel, [this] { AddTheKey(); }, keyLabel},
        {"key's label cut and pasted", 9, kKeyLabelWidth, newKeyLabel,
         [this] {
             AddTheKey();
             MoveTheKeyToAnApartmentWithoutKeys();
         },
         keyLabel},
        {"inserted apartment's number", 6, ApartmentWidths::kNumber,
         [this] {
             TFrKvr* list = Shown<TFrKvr>(6);
             list->Efkv->setFocus();  // takes the current row's number
             list->Ekvv->setText(QStringLiteral("501"));
             return list->Enkv;
         },
         [this] { Shown<TFrKvr>(6)->BitInsert->click(); },
         [this] { return Stored(QStringLiteral("SELECT n_kvr FROM k_kvr WHERE p_kvr='501'")); }},
        {"apartment's number in the list", 6, ApartmentWidths::kNumber,
         [&]() -> QWidget* {
             DatasetGrid* grid = Shown<TFrKvr>(6)->DBGrid1;
             auto* list = qobject_cast<DatasetModel*>(grid->model());
             if (!list) return nullptr;
             idKvr = FDM->Q_Kvp->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
             const QModelIndex number = list->index(qMax(0, FDM->Q_Kvp->RecNo() - 1),
                                                    list->ColumnOf(QStringLiteral("n_kvr")));
             grid->setCurrentIndex(number);
             grid->edit(number);
             return QApplication::focusWidget();
         },
         [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
         apartmentStored("n_kvr")},
        {"apartment editor's number", 0, ApartmentWidths::kNumber,
         [&]() -> QWidget* {
             Menu(QStringLiteral("MkvEdit"));
             idKvr = FDM->Q_KvN->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
             return FkvEdit->E_kv;
         },
         [] { FkvEdit->BitSave->click(); }, apartmentStored("n_kvr")},
        {"melody's name", 0, 50,
         [this] {
             Menu(QStringLiteral("MpkEdit"));
             FpkEdit->BitMel->click();
             FMelF->BitAppd->click();
             dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сохраняем?"),
                             DlgAnswer::Yes);
             return FMelF->ENew;
         },
         [] { FMelF->BitSaveMel->click(); },
         [this] {
             return Stored(QStringLiteral("SELECT name FROM t_mel ORDER BY id_mel DESC LIMIT 1"));
         }},
        slide(&TFrPo::Sobj1, "sobj1"),
        slide(&TFrPo::Sobj2, "sobj2"),
        slide(&TFrPo::Sus1, "sus1"),
        slide(&TFrPo::Sus2, "sus2"),
        slide(&TFrPo::Sus3, "sus3"),
        slide(&TFrPo::Sus4, "sus4"),
    };
    for (size_t i = size_t(GetParam()); i < std::size(fields); i += 2) {
        const auto& f = fields[i];
        const QString& last = f.wide;
        const QString letters = QStringLiteral("Я") + QString(f.width - 2, QChar(u'б'));
        // {typed, kept}: the last place taken whole, then one past the width left out.
        const std::pair<QString, QString> typings[] = {
            {letters + last, letters + last},
            {letters + QStringLiteral("в") + last, letters + QStringLiteral("в")}};
        for (const auto& [typed, kept] : typings) {
            SCOPED_TRACE(std::string(f.what) + ", " + std::to_string(typed.size()) + " units");
            TakeRoad(Road::FirstStart, f.screen);
            QWidget* field = f.open();
            ASSERT_TRUE(field);
            TypeOver(field, typed);
            EXPECT_EQ(TextOf(field).toStdString(), kept.toStdString());
            f.save();
            QCoreApplication::processEvents();
            EXPECT_EQ(f.stored().toStdString(), kept.toStdString());
            dialogs_.VerifyDone();
            EndTheProgram();
            RestoreTheReferenceDatabase();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Half, CharacterWidthsInHalves, ::testing::Values(0, 1));
}  // namespace
}  // namespace CharacterWidthsTestUnit
