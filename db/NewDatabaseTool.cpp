// Writes a new workstation database from the schema and reference rows.
//   arm_newdb [--keep-existing] FILE
// Without --keep-existing an existing FILE is an error; with it, an existing
// FILE is left as it is and the tool succeeds.

#include "foundation/DbSchema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

const char* const kUsage =
    "Вызов: arm_newdb [--keep-existing] ФАЙЛ\n"
    "Записывает новую БД рабочего места в ФАЙЛ; папка ФАЙЛа должна существовать.\n"
    "  --keep-existing  существующий ФАЙЛ остается как есть, и это не ошибка\n"
    "  --help           этот текст\n"
    "  --               конец параметров (для ФАЙЛа, имя которого начинается с '-')\n";

struct Arguments {
    bool help = false;
    bool keepExisting = false;
    QStringList files;
    QString unknown;  // the first option the tool does not know
};

Arguments parse(const QStringList& args) {
    Arguments a;
    bool options = true;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            a.help = true;
        } else if (options && arg == QLatin1String("--keep-existing")) {
            a.keepExisting = true;
        } else if (options && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            if (a.unknown.isEmpty()) a.unknown = arg;
        } else {
            a.files << arg;
        }
    }
    return a;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const Arguments args = parse(app.arguments().mid(1));
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.unknown.isEmpty()) {
        std::fprintf(stderr, "arm_newdb: неизвестный параметр %s\n%s", qPrintable(args.unknown),
                     kUsage);
        return 2;
    }
    if (args.files.size() != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString path = args.files.first();
    if (args.keepExisting && QFileInfo::exists(path)) {
        std::printf("БД %s уже есть и оставлена как есть\n", qPrintable(path));
        return 0;
    }
    QString error;
    if (!CreateNewDatabase(path, &error)) {
        std::fprintf(stderr, "arm_newdb: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Записана новая БД %s\n", qPrintable(path));
    return 0;
}
