#include "CommissioningRoad.h"

#include "foundation/TFDM.h"
#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

void CommissioningRoad::SetUp() {
    // The window as an engineer would size it, opening on the object screen.
    db_.programDir().writeFile(QStringLiteral("Ini/save.ini"),
                               QByteArrayLiteral("[Object]\nnf=1\n[Size]\nsw=1024\nsh=700\n"));
    bus_ = std::make_unique<SimulatedInstallation>();
    AppForms::CreateAll();
    ASSERT_TRUE(FMainVesk);
    ASSERT_TRUE(FDM && FDM->Connected()) << "the program did not open its new database";
    sql_ = FDM->ConnectionDB();
    FMainVesk->show();
    FMainVesk->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FMainVesk));
}

void CommissioningRoad::TearDown() {
    // The link lets go of the port before the simulated line goes away.
    sql_ = QSqlDatabase();
    AppForms::DestroyAll();
    bus_.reset();
    Hooks() = savedHooks_;
    Globals() = savedGlobals_;
}

TFMainVesk& CommissioningRoad::Window() {
    return *FMainVesk;
}

void CommissioningRoad::Menu(const QString& item) {
    QAction* action = Window().MenuItem(item);
    ASSERT_TRUE(action) << item.toStdString();
    action->trigger();
    QCoreApplication::processEvents();
}

QVariant CommissioningRoad::Scalar(const QString& sql, const QVariantList& values) {
    QSqlQuery q(sql_);
    if (!q.prepare(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

QMap<int, int> CommissioningRoad::FileStates() {
    QMap<int, int> states;
    QSqlQuery q(sql_);
    q.prepare(QStringLiteral("SELECT n_net, kf_pr FROM k_pk WHERE id_net = :id UNION ALL "
                             "SELECT :sep, kf_pr FROM k_po WHERE id_net = :id UNION ALL "
                             "SELECT n_net, kf_pr FROM k_bv WHERE id_net = :id"));
    q.bindValue(QStringLiteral(":id"), idNet_);
    q.bindValue(QStringLiteral(":sep"), Globals().SepDevice);
    if (!q.exec()) ADD_FAILURE() << q.lastError().text().toStdString();
    while (q.next()) states.insert(q.value(0).toInt(), q.value(1).toInt());
    return states;
}

QString CommissioningRoad::WriteFolder() const {
    return db_.dbDir() + QStringLiteral("Data/FlWrite/Fl_") + QString::number(idNet_) + '/';
}

QString CommissioningRoad::ReadFolder() const {
    return db_.dbDir() + QStringLiteral("Data/FlRead/Fl_") + QString::number(idNet_) + '/';
}

QByteArray CommissioningRoad::FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString CommissioningRoad::DeviceFileName(int address, int sepDevice) {
    if (address == sepDevice) return QStringLiteral("cpo00.bin");
    if (address < 64) return QStringLiteral("ckm%1.bin").arg(address, 2, 10, QLatin1Char('0'));
    return QStringLiteral("cbv%1.bin").arg(address - 64, 2, 10, QLatin1Char('0'));
}

QString CommissioningRoad::KeyNumber(int n) {
    return QStringLiteral("%1").arg(0x5A0000 + n, 12, 16, QLatin1Char('0')).toUpper();
}

void CommissioningRoad::Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
