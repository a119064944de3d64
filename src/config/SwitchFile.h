#pragma once
// A whole switch configuration file: the 31-byte header, sections 0 to 7 and
// the FF FF end mark, built from one switch's records and checked against the
// size limit as the sections are built. The write screen reads the records
// (ConfigRepository::ReadSwitchFileInput), calls BuildSwitchFile, writes the
// bytes and advances the switch's kf_pr when HasFile() holds.

#include "config/ConfigRecords.h"

#include <QByteArray>
#include <QString>

enum class ConfigBuildStatus {
    Built,           // a complete file within the size limit
    BuiltOverLimit,  // complete, but the end mark takes it past the limit; still written
    NotSetUp,        // the switch has no type: nothing is built, the result line is the path
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

// filePath only names the file in the log and result lines.
ConfigFileBuild BuildSwitchFile(const SwitchFileInput& device, const QString& filePath);

// The result line of a device whose file could not be made.
QString ConfigFileNotCreatedLine(const QString& filePath);
