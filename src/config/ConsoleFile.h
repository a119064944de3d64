#pragma once
// The security-post console's configuration file: the 31-byte header, sections
// 0 to 6 and the FF FF end mark, within the console's limit of 98,304 bits.
// The write screen reads the records (ConfigRepository::ReadConsoleFileInput),
// checks the houses' call codes, calls BuildConsoleFile, writes the bytes and
// advances the console's kf_pr when HasFile() holds.
//
// Sections: 0 parameters, 1 identification, 2 entrances, 3 call codes, 4
// apartment flags, 5 day/night switching, 6 console handsets on switches.
// Sections 4 and 5 are built from what the call-code pass of section 3 collects.

#include "config/ConfigFileBuilder.h"
#include "config/ConfigRecords.h"

#include <QString>

// The header names the console by its network address, SepDevice (63 unless
// the installation moved it), with the console's class and file kind: the
// read screen, the device transfer and the device itself know the console by
// that address. filePath only names the file in the log and result lines.
ConfigFileBuild BuildConsoleFile(const ConsoleFileInput& input, const QString& filePath);
