// The console screen's slide lines take only what the console's file carries:
// a character without a Windows-1251 byte of its own, a NUL or a control
// character is refused when typed or pasted, and a message names it. A stored
// text is shown as it is, and typing beside it goes on as usual.

#include "app/TFMainVesk.h"
#include "devices/SecurityPost.h"
#include "devices/ui/TFrPo.h"
#include "support/ProgramRoads.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

namespace ConsoleSlideFieldTestUnit {

namespace {

const QString kCaption = QStringLiteral("Ошибка");

QString Refused(const QString& named) {
    return QStringLiteral("Символ ") + named + QStringLiteral(" нельзя записать в файл пульта.");
}

class ConsoleSlideField : public ProgramRoads {
  protected:
    TFrPo* Screen() { return qobject_cast<TFrPo*>(FMainVesk->FrameOfScreen(7)); }
    // Each character as a key of its own.
    static void Type(QLineEdit* field, const QString& typed) {
        field->setFocus();
        for (char32_t c : typed.toUcs4())
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
        QCoreApplication::processEvents();  // the message comes once the key is handled
    }
    // The whole text at once, as a paste or a drop puts it in.
    static void Paste(QLineEdit* field, const QString& pasted) {
        field->setFocus();
        field->insert(pasted);
        QCoreApplication::processEvents();
    }
    void Execute(const QString& sql) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        EXPECT_TRUE(q.exec(sql.arg(IdNet())));
        q.finish();
        file.close();
    }
    QString Stored(const QString& column) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        const QString value =
            q.exec(
                QStringLiteral("SELECT %1 FROM k_po WHERE id_net=%2").arg(column).arg(IdNet())) &&
                    q.next()
                ? q.value(0).toString()
                : QStringLiteral("?");
        q.finish();
        file.close();
        return value;
    }
};

TEST_F(ConsoleSlideField, ACharacterTheFileCannotCarryIsRefusedAndNamed) {
    const QString house = QStringLiteral("\U0001F3E0");
    struct Case {
        const char* what;
        bool pasted;
        QString given;
        QString kept;
        QString message;  // none when empty
    };
    const Case cases[] = {
        {"letters and signs that have bytes",
         false,
         QStringLiteral("Пост №1, 5€ «А»"),
         QStringLiteral("Пост №1, 5€ «А»"),
         {}},
        {"a Latin letter with an accent", false, QStringLiteral("Café"), QStringLiteral("Caf"),
         Refused(QStringLiteral("\"é\""))},
        {"a character beyond the plane", false, QStringLiteral("аб") + house + "в",
         QStringLiteral("абв"), Refused("\"" + house + "\"")},
        {"the seventeenth character",
         false,
         QString(17, QChar(u'ж')),
         QString(16, QChar(u'ж')),
         {}},
        {"a text with a tab, pasted",
         true,
         QStringLiteral("a\tb"),
         {},
         Refused(QStringLiteral("U+0009"))},
        {"a text with a newline, pasted",
         true,
         QStringLiteral("a\nb"),
         {},
         Refused(QStringLiteral("U+000A"))},
        {"a text with a NUL, pasted",
         true,
         QStringLiteral("a") + QChar(0) + "b",
         {},
         Refused(QStringLiteral("U+0000"))},
        {"a text with several, pasted",
         true,
         QStringLiteral("é\tü"),
         {},
         QStringLiteral("Символы \"é\", U+0009, \"ü\" нельзя записать в файл пульта.")},
        {"a carried text, pasted",
         true,
         QStringLiteral("Иванов И.И."),
         QStringLiteral("Иванов И.И."),
         {}},
    };
    TakeRoad(Road::FirstStart, 7);
    TFrPo* screen = Screen();
    ASSERT_TRUE(screen);
    for (const Case& c : cases) {
        for (QLineEdit* field : {screen->Sobj1, screen->Sobj2, screen->Sus1, screen->Sus2,
                                 screen->Sus3, screen->Sus4}) {
            SCOPED_TRACE(std::string(c.what) + " in " + field->objectName().toStdString());
            field->clear();
            if (!c.message.isEmpty()) dialogs_.Expect(kCaption, c.message);
            c.pasted ? Paste(field, c.given) : Type(field, c.given);
            EXPECT_EQ(field->text().toStdString(), c.kept.toStdString());
            dialogs_.VerifyDone();
        }
    }
}

TEST_F(ConsoleSlideField, AStoredTextIsShownAsItIsAndTypingBesideItGoesOn) {
    Execute(
        QStringLiteral("UPDATE k_po SET sobj1='Café', sus1='a' || char(9) || 'b' "
                       "WHERE id_net=%1"));
    TakeRoad(Road::FirstStart, 7);
    TFrPo* screen = Screen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->Sobj1->text(), QStringLiteral("Café"));
    EXPECT_EQ(screen->Sus1->text(), QStringLiteral("a\tb"));
    screen->Sobj1->end(false);
    Type(screen->Sobj1, QStringLiteral("!"));
    EXPECT_EQ(screen->Sobj1->text(), QStringLiteral("Café!"));
    // Another of the same is refused all the same.
    dialogs_.Expect(kCaption, Refused(QStringLiteral("\"é\"")));
    Type(screen->Sobj1, QStringLiteral("é"));
    EXPECT_EQ(screen->Sobj1->text(), QStringLiteral("Café!"));
    dialogs_.VerifyDone();
    screen->BitSavePo->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(Stored(QStringLiteral("sobj1")), QStringLiteral("Café!"));
}

}  // namespace
}  // namespace ConsoleSlideFieldTestUnit
