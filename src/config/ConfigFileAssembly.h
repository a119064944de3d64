#pragma once
// A whole configuration file from its sections: the 31-byte header, the
// sections in order and the FF FF end mark, checked against the kind's size
// limit while the sections are built, each section's length word checked
// against its size before it is written. The device files (switch, call
// panel) say how each of their sections is built; this unit does the rest.

#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"

#include <QByteArray>
#include <QString>

#include <functional>

enum class ConfigBuildStatus {
    Built,           // a complete file within the size limit
    BuiltOverLimit,  // complete, but the end mark takes it past the limit; still written
    NotSetUp,        // the device is not set up: nothing is built, the result line is the path
    TooLarge,        // the sections passed the limit while being built: no file
    Failed,          // a section could not be built or framed: no file
};

struct ConfigFileBuild {
    ConfigBuildStatus status = ConfigBuildStatus::Failed;
    QByteArray bytes;      // the file, only when HasFile()
    int stopSection = -1;  // the section at which building stopped (TooLarge, Failed)
    QString resultLine;    // the device's line for the summary
    ConfigLogs logs;

    bool HasFile() const {
        return status == ConfigBuildStatus::Built || status == ConfigBuildStatus::BuiltOverLimit;
    }
};

// What the header and the log lines of one device's file say.
struct ConfigFilePlan {
    int kind = kKindUnknown;  // the file's ConfigDeviceKind
    int headerDevice = 0;     // the device number the header carries
    qint64 idNom = 0;         // the object's network identifier
    int sepDevice = 63;
    QString deviceLabel;  // " КМ05", " БВ03": names the device in the section lines
};

// Builds section i into text and logs it; false when the section cannot be
// built (it has told the operator why), so the file is not made.
using ConfigSectionBuilder = std::function<bool(int section, QString& text, ConfigLogs& logs)>;

// Builds sections 0 .. ConfigSectionCount(kind) − 1 and joins them into a
// file. filePath only names the file in the log and result lines.
ConfigFileBuild AssembleConfigFile(const ConfigFilePlan& plan, const QString& filePath,
                                   const ConfigSectionBuilder& buildSection);

// The result line of a device whose file could not be made.
QString ConfigFileNotCreatedLine(const QString& filePath);
