#pragma once
// The main window of the program on a new database, with the site registry's
// hooks installed as at start-up, the reference object to show and the dialog
// script. Hooks and globals a test changes are put back afterwards.

#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "app/TFMainVesk.h"
#include "site/ui/SiteForms.h"
#include "support/ReferenceObject.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QTest>

#include <memory>

class SiteWindow : public ::testing::Test {
  protected:
    SiteWindow() { SiteForms::InstallHooks(); }
    ~SiteWindow() override {
        window_.reset();
        Hooks() = savedHooks_;
        Globals() = savedGlobals_;
    }

    // The reference object (or one changed by options) up to step; the first
    // one built is idNet_.
    void BuildReference(ReferenceObjectOptions options = {},
                        ReferenceStep step = ReferenceStep::Entrances) {
        if (!dm_.Connected()) {
            QString error;
            ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
            ASSERT_TRUE(dm_.OpenAllTables());
        }
        ReferenceObject ref(std::move(options));
        ASSERT_TRUE(ref.Build(step)) << ref.Error().toStdString();
        if (idNet_ == 0) idNet_ = ref.IdNet();
    }

    // The main window, 1024 x 700, started on the screen, shown and active.
    void OpenWindowOn(int screen) {
        db_.programDir().writeFile(
            QStringLiteral("Ini/save.ini"),
            QStringLiteral("[Object]\nnf=%1\n[Size]\nsw=1024\nsh=700\n").arg(screen).toUtf8());
        window_ = std::make_unique<TFMainVesk>();
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        EXPECT_EQ(screen, window_->VisibleScreen());
    }

    // Types text key by key; QTest::keyClicks knows Latin letters only.
    static void Type(QWidget* w, const QString& text) {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
    TestDatabase db_;
    TFDM dm_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TFMainVesk> window_;
    qint64 idNet_ = 0;
};
