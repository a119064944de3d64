// A console slide text on its way into the console's file: a byte a
// character in Windows-1251, 16 characters. A character the file cannot carry
// (none of its own, a NUL, a control character) stands as '?', and a text
// longer than the field keeps its first 16 characters; each is told in the
// write's results. The file so made opens and saves in the editor unchanged,
// and so does a slide of another writer's file until the engineer edits it.

#include "config/ConsoleFile.h"
#include "config/FieldFit.h"
#include "support/EditorRoundTrip.h"
#include "support/ScriptedDialogs.h"

#include "ConfigFilesFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace SlideTextTestUnit {
namespace {

using namespace cfgtest;

namespace {

class SlideText : public ConfigFilesFixture {
  protected:
    ConfigFileBuild Build() {
        ConfigRepository repo(Db());
        std::optional<ConsoleFileInput> in;
        EXPECT_TRUE(repo.ReadConsoleFileInput(kIdNet, in)) << repo.LastError().toStdString();
        return in ? BuildConsoleFile(*in, QStringLiteral("f")) : ConfigFileBuild();
    }
};

QByteArray Padded(const QByteArray& bytes) {
    return bytes + QByteArray(16 - bytes.size(), ' ');
}

TEST_F(SlideText, WhatTheFileCannotHoldStandsAsAQuestionMarkAndIsTold) {
    const QString house = QStringLiteral("\U0001F3E0");
    const QString told = QStringLiteral(
        "ППО00: в тексте sobj1 символ %1 нельзя записать в файл, "
        "вместо него записан \"?\".");
    struct Case {
        const char* what;
        QVariant stored;  // as the column holds it
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"a letter without a byte", QStringLiteral("Café"), "Caf?", {told.arg("\"é\"")}},
        {"signs that have bytes",
         QStringLiteral("Цена 5€ №1"),
         "\xD6\xE5\xED\xE0 5\x88 \xB9"
         "1",
         {}},
        {"bytes that are not UTF-8, with a NUL",
         QByteArray("a\xFF\x00z", 4),
         "a??z",
         {QStringLiteral("ППО00: в тексте sobj1 символы \"\uFFFD\", U+0000 нельзя записать в "
                         "файл, вместо каждого записан \"?\".")}},
        {"a tab", QStringLiteral("a\tb"), "a?b", {told.arg("U+0009")}},
        {"a newline", QStringLiteral("a\nb"), "a?b", {told.arg("U+000A")}},
        {"a character of two units, one byte",
         QStringLiteral("аб") + house + QStringLiteral("в"),
         "\xE0\xE1?\xE2",
         {told.arg("\"" + house + "\"")}},
        {"a text too long",
         QStringLiteral("Очень длинный слайд!"),
         "\xCE\xF7\xE5\xED\xFC \xE4\xEB\xE8\xED\xED\xFB\xE9 \xF1\xEB",
         {QStringLiteral("ППО00: текст sobj1 длиннее 16 символов (20), записаны первые 16: "
                         "\"Очень длинный сл\".")}},
        {"a character of two units last, then one more",
         QString(15, QChar(u'ж')) + house + "z",
         QByteArray(15, '\xE6') + "?",
         {QStringLiteral("ППО00: текст sobj1 длиннее 16 символов (17), записаны первые 16: \"") +
              QString(15, QChar(u'ж')) + QStringLiteral("?\"."),
          told.arg("\"" + house + "\"")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sql("UPDATE k_po SET sobj1 = ?", {c.stored});
        const ConfigFileBuild b = Build();
        ASSERT_FALSE(b.bytes.isEmpty());
        EXPECT_EQ(Payload(Split(b.bytes).sections[0]).mid(39, 16), Padded(c.bytes));
        for (const QString& line : c.lines)
            EXPECT_TRUE(b.logs.result.contains(line)) << line.toStdString() << "\n"
                                                      << b.logs.result.join('\n').toStdString();
        ASSERT_EQ(b.logs.narrowedTexts.size(), c.lines.isEmpty() ? 0 : 1);
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(b.logs.narrowedTexts.first().field, "sobj1");
            EXPECT_EQ(NarrowedTextLines(b.logs.narrowedTexts.first()), c.lines);
        }
        // Opened and saved in the editor, the file stays as it was.
        const EditorRoundTrip rt = RunEditorRoundTrip(b.bytes, ScreenSettings(), kIdNom);
        EXPECT_EQ(rt.broken, QString());
        EXPECT_EQ(rt.saved.bytes, b.bytes);
    }
}

// A slide of a file another writer made shows a byte that shows nothing of
// itself as a mark; left as shown it keeps its bytes (EditorRoundTripTest).
// Edited, it is held to what the file carries as a slide line holds what is
// typed into it: the save refuses with the line's message, and writes nothing.
TEST_F(SlideText, AnEditedSlideOfAnotherWritersFileIsHeldToWhatTheFileCarries) {
    const QByteArray odd = Hex("41 01 1B 42 7F 43");
    const QString path = Write("cpo00.bin", WithSlide(ConsoleFile(), 2, odd));
    EditorFile f = LoadEditorFile(path, ScreenSettings());
    ASSERT_EQ(f.warnings, QStringList());
    const QString shown = QStringLiteral("A\u2401\u241BB\u2421C") + QString(10, QLatin1Char(' '));
    EXPECT_EQ(f.po.params.sus1, shown);
    struct Case {
        const char* what;
        QString typed;
        QString refused;  // the message; empty when saved
        QByteArray bytes;
    };
    const Case cases[] = {
        {"a letter added behind the marks",
         QStringLiteral("A\u2401\u241BB\u2421Cz"),
         QStringLiteral(
             "Символы \"\u2401\", \"\u241B\", \"\u2421\" нельзя записать в файл пульта."),
         {}},
        {"a letter without a byte",
         QStringLiteral("Café"),
         QStringLiteral("Символ \"é\" нельзя записать в файл пульта."),
         {}},
        {"the marks taken out", QStringLiteral("ABCz"), {}, "ABCz"},
        {"the text as shown again", shown, {}, odd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = Read(path);
        f.po.params.sus1 = c.typed;
        ScriptedDialogs dialogs;
        if (!c.refused.isEmpty()) dialogs.Expect("Ошибка", c.refused);
        const EditorSaveResult r = SaveEditorFile(f, kIdNom, ScreenSettings());
        if (c.refused.isEmpty()) {
            ASSERT_EQ(r.status, EditorSaveStatus::Saved);
            EXPECT_EQ(Payload(Split(Read(path)).sections[0]).mid(71, 16), Padded(c.bytes));
            continue;
        }
        EXPECT_EQ(r.status, EditorSaveStatus::BadCell);
        EXPECT_EQ(r.fault ? r.fault->control : QString(), "Sus1");
        EXPECT_EQ(Read(path), before);
    }
}

// The camera mask, its last character the lowest bit: a mask longer than its
// 16 bits keeps its last 16 characters, a character other than '0' and '1'
// is written as '0', as the console screen reads it; each is told.
TEST_F(SlideText, ACameraMaskTooLongOrNotOfBitsIsTold) {
    struct Case {
        QString stored;
        QByteArray bytes;  // payload bytes 4 and 5
        QStringList lines;
    };
    const Case cases[] = {
        {QStringLiteral("10000000"), QByteArray("\x80\x00", 2), {}},
        {QStringLiteral("1111") + QString(15, QLatin1Char('0')) + QStringLiteral("1"),
         QByteArray("\x01\x00", 2),
         {QStringLiteral("ППО00: текст mcam длиннее 16 символов (20), записаны последние 16: \"") +
          QString(15, QLatin1Char('0')) + QStringLiteral("1\".")}},
        {QStringLiteral("1x"),
         QByteArray("\x02\x00", 2),
         {QStringLiteral("ППО00: в тексте mcam символ \"x\" нельзя записать в файл, вместо него "
                         "записан \"0\".")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        Sql("UPDATE k_po SET mcam = ?", {c.stored});
        const ConfigFileBuild b = Build();
        ASSERT_FALSE(b.bytes.isEmpty());
        EXPECT_EQ(Payload(Split(b.bytes).sections[0]).mid(4, 2), c.bytes);
        ASSERT_EQ(b.logs.narrowedTexts.size(), c.lines.size());
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(NarrowedTextLines(b.logs.narrowedTexts.first()), c.lines);
        }
        for (const QString& line : c.lines) EXPECT_TRUE(b.logs.result.contains(line));
    }
}

}  // namespace
}  // namespace
}  // namespace SlideTextTestUnit
