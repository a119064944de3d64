#pragma once
// A whole switch configuration file: the 31-byte header, sections 0 to 7 and
// the FF FF end mark, built from one switch's records and checked against the
// size limit as the sections are built. The write screen reads the records
// (ConfigRepository::ReadSwitchFileInput), calls BuildSwitchFile, writes the
// bytes and advances the switch's kf_pr when HasFile() holds.

#include "config/ConfigFileBuilder.h"
#include "config/ConfigRecords.h"

#include <QString>

// A switch without a type gets no file (NotSetUp). filePath only names the
// file in the log and result lines.
ConfigFileBuild BuildSwitchFile(const SwitchFileInput& device, const QString& filePath);
