#pragma once
// Assembles one device's configuration file the way the write screen does:
// the sections are built in order and checked against the kind's size limit
// as they grow, then the header, the sections and the FF FF end mark are
// joined, each section's length word checked against its size. The switch,
// call-panel and console files differ only in their sections and labels.

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

struct ConfigFileRecipe {
    int kind = 0;         // ConfigDeviceKind: sets the limit and the number of sections
    QString headerText;   // BuildConfigHeader's text
    QString deviceLabel;  // " КМ05", " ППО63": names the device in the section lines
    QString deviceName;   // "КМ05", "ППО00": the device as the write screen's results name it
    QString overflowPrefix;  // the result line's start when the sections grow too large
    // What that result line adds after its end for the section it stopped at
    // (a call panel says how to make its key sections smaller); none when empty.
    std::function<QString(int section)> overflowTail;
    // When not empty, a section whose length word does not match its size is
    // reported in the result log only, followed by this line in the result
    // log and the summary (a call panel's "merging stopped" line).
    QString unframedStopLine;
    // Builds section i into text; false when the file cannot be made (the
    // encoder has told the operator and logged why).
    std::function<bool(int section, QString& text, ConfigLogs& logs)> encodeSection;
};

// filePath only names the file in the log and result lines.
ConfigFileBuild BuildConfigFile(const ConfigFileRecipe& recipe, const QString& filePath);

// The result line of a device whose file could not be made.
QString ConfigFileNotCreatedLine(const QString& filePath);

// A line the device's results keep in the result log and in the summary: why
// it gets no file, or what its file holds less than the database.
void TellInResults(ConfigLogs& logs, const QString& line);
