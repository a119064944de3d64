// Writes a new workstation database from the schema and reference rows.
//   arm_newdb [--keep-existing] FILE
// Without --keep-existing an existing FILE is an error; with it, an existing
// FILE is left as it is and the tool succeeds.

#include "foundation/DbSchema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool keepExisting = args.removeAll(QStringLiteral("--keep-existing")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: arm_newdb [--keep-existing] FILE\n");
        return 2;
    }
    const QString path = args.first();
    if (keepExisting && QFileInfo::exists(path)) {
        std::printf("kept existing database %s\n", qPrintable(path));
        return 0;
    }
    QString error;
    if (!CreateNewDatabase(path, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("wrote new database %s\n", qPrintable(path));
    return 0;
}
