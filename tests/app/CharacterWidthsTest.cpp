// A name typed to its column's width counts characters, as the database does:
// a character beyond the Basic Multilingual Plane (two UTF-16 units) in the
// last place is kept whole, one past the width is left out whole, and the
// file holds what the field shows.

#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "platform/Dataset.h"
#include "site/ApartmentRow.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "support/ProgramRoads.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include <functional>

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
};

TEST_F(CharacterWidths, ANameIsCutByWholeCharactersInTheFieldAndTheFile) {
    qint64 idKvr = 0;
    const struct {
        const char* what;
        int screen, width;
        std::function<QLineEdit*()> open;  // the field, ready to type in
        std::function<QPushButton*()> save;
        std::function<QString()> stored;
    } fields[] = {
        {"resident's surname", 14, ApartmentRowLimits::kNameWidth,
         [&] {
             idKvr = FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
             return Shown<TFrPiople>(14)->EFam;
         },
         [this] { return Shown<TFrPiople>(14)->BitSave; },
         [&] {
             return Stored(QStringLiteral("SELECT Fam FROM k_kvr WHERE id_kvr=%1").arg(idKvr));
         }},
        {"object's name", 1, ObjectWidths::kName,
         [this] {
             Shown<TFrMatr>(1)->BEdit->click();
             return Shown<TFrMatr>(1)->P1_ENew;
         },
         [this] { return Shown<TFrMatr>(1)->BitSave; },
         [this] {
             return Stored(QStringLiteral("SELECT ident FROM k_net WHERE id_net=%1").arg(IdNet()));
         }},
    };
    const QString beyondThePlane = QStringLiteral("\U0001F3E0");  // a house
    for (const auto& f : fields) {
        const QString letters = QStringLiteral("Я") + QString(f.width - 2, QChar(u'б'));
        // {typed, kept}: the last place taken whole, then one past the width left out.
        const std::pair<QString, QString> typings[] = {
            {letters + beyondThePlane, letters + beyondThePlane},
            {letters + QStringLiteral("в") + beyondThePlane, letters + QStringLiteral("в")}};
        for (const auto& [typed, kept] : typings) {
            SCOPED_TRACE(std::string(f.what) + ", " + std::to_string(typed.size()) + " units");
            TakeRoad(Road::FirstStart, f.screen);
            QLineEdit* field = f.open();
            field->setFocus();
            field->selectAll();
            // A key a character, as typed.
            for (char32_t c : typed.toUcs4())
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                    Qt::NoModifier);
            EXPECT_EQ(field->text().toStdString(), kept.toStdString());
            f.save()->click();
            QCoreApplication::processEvents();
            EXPECT_EQ(f.stored().toStdString(), kept.toStdString());
            dialogs_.VerifyDone();
            EndTheProgram();
            RestoreTheReferenceDatabase();
        }
    }
}
