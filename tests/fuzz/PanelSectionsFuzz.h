#pragma once
// The call-panel section decoders, run on one section text by the sections
// fuzz target; announced is the apartment count the flag decoders are told.

#include <QString>

void FuzzPanelSections(const QString& sectionText, int announced);
