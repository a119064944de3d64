#pragma once
// Where the configuration screens look for files: the Data folder under the
// database folder and, in it, the object's folder of files built by the
// write screen (FlWrite/Fl_<id_net>) or read from the devices (FlRead/Fl_<id_net>).

#include <QString>

#include <optional>

// Which folder the open dialog of the read screen and the editor starts in
// ("Любой файл", "Созданный в АРМе", "Считанный с СУ").
enum class ConfigFolderChoice { Any, Written, Read };

// The database folder: the one the main window handed over, or, when that is
// blank, DB_ARM/ under the program folder; always with a trailing '/'.
QString ConfigDbFolder(const QString& handedOver);

// The dialog's start folder: dbFolder + "Data/", then, unless choice is Any,
// "FlWrite/Fl_" or "FlRead/Fl_" and the object's id_net ("0" without an object).
QString ConfigFilesFolder(const QString& dbFolder, ConfigFolderChoice choice,
                          std::optional<qint64> idNet);

// The write screen's folder of an object's files: the Written start folder
// under the database folder handed over (DB_ARM/ when blank), without the
// trailing '/'.
QString WriteFolderFor(const QString& dbFolder, qint64 idNet);

// Creates the folder when it does not exist; false when it cannot be made.
bool EnsureConfigFolder(const QString& folder);
