#include "support/KilledChild.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace KilledChild {

namespace {

const char* const kReadyFile = "ARM_KILLED_CHILD_READY";
constexpr int kPatienceMs = 60000;

}  // namespace

bool InChild() {
    return !qEnvironmentVariableIsEmpty(kReadyFile);
}

void SignalReady() {
    QFile ready(qEnvironmentVariable(kReadyFile));
    (void)ready.open(QIODevice::WriteOnly);
}

void WaitToBeKilled() {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kPatienceMs) QThread::msleep(10);
}

bool RunAndKill(const QString& childTest, const QMap<QString, QString>& environment,
                QString* output) {
    QTemporaryDir dir;
    const QString ready = dir.filePath(QStringLiteral("child.ready"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kReadyFile), ready);
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        env.insert(it.key(), it.value());

    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + childTest});
    if (!child.waitForStarted()) {
        if (output) *output = child.errorString();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(ready) && child.state() == QProcess::Running &&
           waited.elapsed() < kPatienceMs)
        child.waitForFinished(5);
    const bool signalled = QFile::exists(ready);
    child.kill();  // SIGKILL: no clean-up of any kind
    child.waitForFinished();
    if (output) *output = QString::fromLocal8Bit(child.readAll());
    return signalled;
}

}  // namespace KilledChild
