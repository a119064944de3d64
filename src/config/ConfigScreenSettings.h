#pragma once
// What the read screen and the editor need of the global parameters: the
// device number ranges, the section-0 sizes that tell a file without header,
// and the console's camera count.

#include "config/ConfigHeader.h"
#include "config/TPoParams.h"

#include <optional>

struct ConfigScreenSettings {
    int maxDevice = 50;
    int sepDevice = 63;
    ConfigSection0Sizes sizes;
    int cameraCount = kDefaultPoCameras;  // t_global.CamPO: items of the console's camera list
};

// The values of the t_global row (dataset Global), the program's MaxDevice
// and SepDevice where the row is not there. SepDevice is also handed to the
// program's globals, as the screens reload it when they open.
ConfigScreenSettings LoadConfigScreenSettings();

// The current object (the row of dataset Q_Net) as the screens use it: its
// id_net names its file folders, its id_nom goes into a saved header.
struct ConfigCurrentObject {
    std::optional<qint64> idNet;  // none without an object
    qint64 idNom = 0;             // 0 without an object
};
ConfigCurrentObject CurrentConfigObject();
