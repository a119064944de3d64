#pragma once
// The main window of the program on a test database, for the site screens'
// GUI tests: the reference object built through the program's operations, the
// window opened on a screen, pictures of it and a check that no text is cut.

#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFMainVesk.h"
#include "site/ui/SiteForms.h"
#include "site/ui/TFrMatr.h"
#include "support/ReferenceObject.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSqlQuery>
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

    // The reference object (or one changed by options); the first one built
    // is idNet_.
    void BuildReference(ReferenceObjectOptions options = {},
                        ReferenceStep last = ReferenceStep::Entrances) {
        if (!dm_.Connected()) {
            QString error;
            ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
            ASSERT_TRUE(dm_.OpenAllTables());
        }
        ReferenceObject ref(std::move(options));
        ASSERT_TRUE(ref.Build(last)) << ref.Error().toStdString();
        if (idNet_ == 0) idNet_ = ref.IdNet();
    }
    void Exec(const QString& sql) {
        QSqlQuery q(dm_.ConnectionDB());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    int Count(const QString& table) {
        QSqlQuery q(dm_.ConnectionDB());
        return q.exec("SELECT COUNT(*) FROM " + table) && q.next() ? q.value(0).toInt() : -1;
    }

    // The main window on the object screen, shown and active.
    TFrMatr* OpenWindow() {
        db_.programDir().writeFile(QStringLiteral("Ini/save.ini"),
                                   "[Object]\nnf=1\n[Size]\nsw=1024\nsh=700\n");
        window_ = std::make_unique<TFMainVesk>();
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        EXPECT_EQ(1, window_->VisibleScreen());
        return qobject_cast<TFrMatr*>(window_->FrMatr1);
    }

    // The window as a picture under build/screens.
    void Snap(const QString& name) {
        QCoreApplication::processEvents();
        const QString dir = QStringLiteral(ARM_BIN_DIR "/../screens");
        QDir().mkpath(dir);
        EXPECT_TRUE(window_->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
    }

    // Every visible text of the frame fits its control.
    void ExpectNoClippedText(QWidget* frame) {
        QCoreApplication::processEvents();
        for (QLabel* l : frame->findChildren<QLabel*>()) {
            if (l->isVisible() && !l->text().isEmpty()) {
                EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            }
        }
        for (QAbstractButton* b : frame->findChildren<QAbstractButton*>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
            }
        }
    }

    QWidget* Focused() { return QApplication::focusWidget(); }

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
