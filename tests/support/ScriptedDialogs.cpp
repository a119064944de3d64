#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() {
    previous_ = Dialogs::SetBackend(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    VerifyDone();
    Dialogs::SetBackend(previous_);
}

ScriptedDialogs& ScriptedDialogs::Expect(const QString& caption, const QString& text,
                                         DlgAnswer answer) {
    script_.append(Step{false, false, caption, text, answer, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::ExpectContaining(const QString& caption, const QString& textPart,
                                                   DlgAnswer answer) {
    script_.append(Step{false, true, caption, textPart, answer, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::ExpectPicker(const QString& caption, const QString& path) {
    script_.append(Step{true, false, caption, {}, DlgAnswer::Ok, path, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::WhenShown(std::function<void()> look) {
    if (script_.isEmpty())
        ADD_FAILURE() << "WhenShown with no dialog expected";
    else
        script_.last().look = std::move(look);
    return *this;
}

void ScriptedDialogs::VerifyDone() {
    for (const Step& s : script_)
        ADD_FAILURE() << "Expected dialog never appeared: " << s.caption.toStdString() << " | "
                      << s.text.toStdString();
    script_.clear();
}

DlgAnswer ScriptedDialogs::Message(const QString& caption, const QString& text, DlgButtons buttons,
                                   DlgIcon) {
    shown_.append(caption + QLatin1Char('|') + text);
    if (script_.isEmpty() || script_.first().picker) {
        if (!allowUnexpected_)
            ADD_FAILURE() << "Unexpected dialog: " << caption.toStdString() << " | "
                          << text.toStdString();
        return buttons == DlgButtons::YesNo ? DlgAnswer::No
               : buttons == DlgButtons::Ok  ? DlgAnswer::Ok
                                            : DlgAnswer::Cancel;
    }
    const Step step = script_.takeFirst();
    const bool textMatches = step.partial ? text.contains(step.text) : text == step.text;
    EXPECT_EQ(step.caption.toStdString(), caption.toStdString())
        << "for text " << text.toStdString();
    EXPECT_TRUE(textMatches) << "expected " << (step.partial ? "text containing " : "text ")
                             << step.text.toStdString() << "\n got " << text.toStdString();
    if (step.look) step.look();
    return step.answer;
}

QString ScriptedDialogs::picker(const QString& caption) {
    shown_.append(caption + QStringLiteral("|<picker>"));
    if (script_.isEmpty() || !script_.first().picker) {
        if (!allowUnexpected_) ADD_FAILURE() << "Unexpected picker: " << caption.toStdString();
        return QString();
    }
    const Step step = script_.takeFirst();
    EXPECT_EQ(step.caption.toStdString(), caption.toStdString());
    if (step.look) step.look();
    return step.path;
}

QString ScriptedDialogs::OpenFile(const QString& caption, const QString& dir, const QString&) {
    pickerFolders_ << dir;
    return picker(caption);
}
QString ScriptedDialogs::SaveFile(const QString& caption, const QString& dir, const QString&) {
    pickerFolders_ << dir;
    return picker(caption);
}
QString ScriptedDialogs::ChooseFolder(const QString& caption, const QString& dir) {
    pickerFolders_ << dir;
    return picker(caption);
}
