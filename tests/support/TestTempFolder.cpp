#include "support/TestTempFolder.h"

#include "platform/ProcessState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <unistd.h>

QString TestTempFolder::Root() {
    return QStringLiteral(ARM_TEST_TMP_DIR);
}

void TestTempFolder::RemoveLeftovers() {
    const QDir root(Root());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (numeric && ProcessGone(pid)) QDir(root.filePath(name)).removeRecursively();
    }
}

TestTempFolder::TestTempFolder() {
    RemoveLeftovers();
    path_ = Root() + QLatin1Char('/') + QString::number(::getpid());
    // A folder of an earlier process with the same number is not ours to keep.
    QDir(path_).removeRecursively();
    if (!QDir().mkpath(path_)) {
        std::fprintf(stderr, "tests: cannot make the temporary folder %s\n", qPrintable(path_));
        path_.clear();
        return;
    }
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TMPDIR", QFile::encodeName(path_));
}

TestTempFolder::~TestTempFolder() {
    if (!path_.isEmpty()) QDir(path_).removeRecursively();
    RemoveLeftovers();
}
