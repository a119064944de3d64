#include "config/ConfigFolders.h"

#include "platform/AppPaths.h"

#include <QDir>

QString ConfigDbFolder(const QString& handedOver) {
    if (handedOver.trimmed().isEmpty()) return AppPaths::DefaultDbDir();
    return AppPaths::NormalizeDir(handedOver.trimmed());
}

QString ConfigFilesFolder(const QString& dbFolder, ConfigFolderChoice choice,
                          std::optional<qint64> idNet) {
    QString folder = AppPaths::NormalizeDir(dbFolder) + QStringLiteral("Data/");
    if (choice == ConfigFolderChoice::Any) return folder;
    folder += choice == ConfigFolderChoice::Written ? QStringLiteral("FlWrite/Fl_")
                                                    : QStringLiteral("FlRead/Fl_");
    return folder + (idNet ? QString::number(*idNet) : QStringLiteral("0")) + QLatin1Char('/');
}

QString WriteFolderFor(const QString& dbFolder, qint64 idNet) {
    return ConfigFilesFolder(ConfigDbFolder(dbFolder), ConfigFolderChoice::Written, idNet)
        .chopped(1);
}

bool EnsureConfigFolder(const QString& folder) {
    return QDir().mkpath(folder);
}
