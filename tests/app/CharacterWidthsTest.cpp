// A name typed to its column's width counts characters, as the database does:
// a character beyond the Basic Multilingual Plane (two UTF-16 units) in the
// last place is kept whole, one past the width is left out whole, and the
// file holds what was typed, never half of a character.

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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include <functional>

namespace {

constexpr int kObjectScreen = 1;
constexpr int kResidentsScreen = 14;

const QString kBeyondThePlane = QStringLiteral("\U0001F3E0");  // a house, two UTF-16 units

// Typed key by key, a character a key, over whatever the field held.
void TypeOver(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    for (char32_t c : text.toUcs4())
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
}

}  // namespace

struct NameField {
    const char* what;
    int screen;
    int width;
    std::function<QWidget*()> open;  // the field, ready to type in
    std::function<void()> save;
    std::function<QString()> stored;
};

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

    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(kObjectScreen)); }
    TFrPiople* Residents() {
        return qobject_cast<TFrPiople*>(FMainVesk->FrameOfScreen(kResidentsScreen));
    }

    // A field of the object's edit panel, saved by "Сохранить дома" into column of k_net.
    NameField ObjectField(const char* what, int width, std::function<QWidget*(TFrMatr*)> field,
                          const QString& column) {
        return {what,
                kObjectScreen,
                width,
                [this, field] {
                    Objects()->BEdit->click();
                    return field(Objects());
                },
                [this] { Objects()->BitSave->click(); },
                [this, column] {
                    return Stored(QStringLiteral("SELECT %1 FROM k_net WHERE id_net=%2")
                                      .arg(column)
                                      .arg(IdNet()));
                }};
    }
};

TEST_F(CharacterWidths, ANameIsCutByWholeCharactersInTheFieldAndTheFile) {
    qint64 idKvr = 0;
    const NameField fields[] = {
        {"resident's surname", kResidentsScreen, ApartmentRowLimits::kNameWidth,
         [&] {
             idKvr = FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
             return Residents()->EFam;
         },
         [this] { Residents()->BitSave->click(); },
         [&] {
             return Stored(QStringLiteral("SELECT Fam FROM k_kvr WHERE id_kvr=%1").arg(idKvr));
         }},
        ObjectField(
            "object's name", ObjectWidths::kName, [](TFrMatr* f) { return f->P1_ENew; },
            QStringLiteral("ident")),
        ObjectField(
            "object's address", ObjectWidths::kAddress, [](TFrMatr* f) { return f->P1_EAdr; },
            QStringLiteral("adres")),
    };
    for (const NameField& f : fields) {
        const QString letters = QStringLiteral("Я") + QString(f.width - 2, QChar(u'б'));
        // {typed, kept}: the last place taken whole, then one past the width left out.
        const std::pair<QString, QString> typings[] = {
            {letters + kBeyondThePlane, letters + kBeyondThePlane},
            {letters + QStringLiteral("в") + kBeyondThePlane, letters + QStringLiteral("в")}};
        for (const auto& [typed, kept] : typings) {
            SCOPED_TRACE(std::string(f.what) + ", " + std::to_string(typed.size()) + " units");
            TakeRoad(Road::FirstStart, f.screen);
            QWidget* field = f.open();
            TypeOver(field, typed);
            const auto* line = qobject_cast<QLineEdit*>(field);
            const QString shown =
                line ? line->text() : qobject_cast<QPlainTextEdit*>(field)->toPlainText();
            EXPECT_EQ(shown.toStdString(), kept.toStdString());
            f.save();
            QCoreApplication::processEvents();
            EXPECT_EQ(f.stored().toStdString(), kept.toStdString());
            dialogs_.VerifyDone();
            EndTheProgram();
            RestoreTheReferenceDatabase();
        }
    }
}
