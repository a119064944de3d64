#pragma once
// A whole call-panel configuration file: the 31-byte header, sections 0 to 7
// and the FF FF end mark, built from one panel's records and checked against
// the size limit as the sections are built. The write screen reads the
// records (ConfigRepository::ReadPanelFileInput), sets whether spare key
// slots are wanted, calls BuildCallPanelFile, writes the bytes and advances
// the panel's kf_pr when HasFile() holds.

#include "config/ConfigFileBuilder.h"
#include "config/ConfigRecords.h"

#include <QList>
#include <QString>

// The apartments of the panel's entrances in the panel's order, as the
// call-code section walks them.
QList<CallCodeApartmentRow> PanelCallApartments(const QList<PanelEntranceRow>& entrances);

// filePath only names the file in the log and result lines. A file that
// outgrows the limit at its key sections says how to make it smaller.
ConfigFileBuild BuildCallPanelFile(const PanelFileInput& device, const QString& filePath);
