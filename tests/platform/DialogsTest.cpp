#include "platform/Dialogs.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace DialogsTestUnit {

namespace {

TEST(Dialogs, ButtonClickAnswersScriptedQuestion) {
    ScriptedDialogs script;
    script.Expect("Вопрос", "Продолжить?", DlgAnswer::Yes);

    QPushButton button("Пуск");
    bool answered = false;
    QObject::connect(&button, &QPushButton::clicked,
                     [&] { answered = Dialogs::AskYesNo("Вопрос", "Продолжить?"); });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);

    EXPECT_TRUE(answered);
    EXPECT_EQ(script.Shown(), QStringList{"Вопрос|Продолжить?"});
}

TEST(Dialogs, PickersAndApplicationTitle) {
    ScriptedDialogs script;
    Dialogs::SetApplicationTitle("АРМ сервис APM ZAZ-Kiro-2");
    script.Expect("АРМ сервис APM ZAZ-Kiro-2", "Готово")
        .ExpectPicker("Выберите папку с БД", "/tmp/db")
        .ExpectPicker("Открыть", "");
    Dialogs::ShowMessage("Готово");
    EXPECT_EQ(Dialogs::ChooseFolder("Выберите папку с БД", "/"), "/tmp/db");
    EXPECT_EQ(Dialogs::OpenFile("Открыть", "/"), "");
    EXPECT_EQ(script.Pending(), 0);
}

TEST(Dialogs, WithoutBackendTheSafeAnswerIsTaken) {
    DialogBackend* previous = Dialogs::SetBackend(nullptr);
    EXPECT_FALSE(Dialogs::AskYesNo("Вопрос", "Удалить?"));
    EXPECT_EQ(Dialogs::AskYesNoCancel("Вопрос", "Сохранить?"), DlgAnswer::Cancel);
    Dialogs::SetBackend(previous);
}

}  // namespace
}  // namespace DialogsTestUnit
