#include "support/KilledChild.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>
#include <cstdio>

namespace {

const char kChildFlag[] = "ARM_KILLED_CHILD";
const QString kValuePrefix = QStringLiteral("ARM_KILLED_CHILD_");
const QByteArray kKillPoint = "ARM-KILL-POINT";

}  // namespace

bool KilledChild::InChild() {
    return qEnvironmentVariableIsSet(kChildFlag);
}

QString KilledChild::Value(const QString& name) {
    return qEnvironmentVariable(qPrintable(kValuePrefix + name.toUpper()));
}

void KilledChild::ReachedKillPoint() {
    std::fprintf(stdout, "\n%s\n", kKillPoint.constData());
    std::fflush(stdout);
    for (;;) pause();
}

bool KilledChild::RunUntilKilled(int timeoutMs) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The child runs its one test, whatever share of the tests the parent runs.
    for (const QString& name : env.keys())
        if (name.startsWith(QLatin1String("GTEST_"))) env.remove(name);
    env.insert(QString::fromLatin1(kChildFlag), QStringLiteral("1"));
    for (auto it = values_.cbegin(); it != values_.cend(); ++it)
        env.insert(kValuePrefix + it.key().toUpper(), it.value());
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + testName_});
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    bool reached = false;
    while (!reached && clock.elapsed() < timeoutMs) {
        if (!child.waitForReadyRead(200) && child.state() == QProcess::NotRunning) break;
        seen += child.readAll();
        reached = seen.contains(kKillPoint);
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(10000);
    }
    seen += child.readAll();
    output_ = QString::fromLocal8Bit(seen);
    if (!reached) output_.prepend(QStringLiteral("the child did not reach its kill point:\n"));
    return reached;
}
