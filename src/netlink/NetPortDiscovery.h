#pragma once
// Finding the serial port of a USB device by its description: the card
// reader's port, and the port of the device network's adapter, with the
// operator's choice when several ports are found. Ports come from the
// installed ComPortEnumerator; a port is named by its device path.

#include "netlink/ComPortEnumerator.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A port with its USB identity; all empty when nothing was found.
struct NetPortChoice {
    QString port, vid, pid;
    bool operator==(const NetPortChoice&) const = default;
};

// What the adapter of the device network calls itself.
inline const QString kNetAdapterNamePart = QStringLiteral("DARVO CWN");
// The name part of the second search, which takes every serial port.
inline const QString kAnySerialPort = QStringLiteral("COM");

// The port's description holds namePart; kAnySerialPort takes every port.
bool PortMatchesName(const ComPortInfo& port, const QString& namePart);

// The port of the device whose description holds namePart; with several such
// devices the last one listed. found stays as it was when none matches.
void FindComPortByName(NetPortChoice& found, const QString& namePart);

// The ports found, one line each in three parallel lists.
struct NetPortLists {
    QStringList ports, vids, pids;
    int Count() const { return int(ports.size()); }
    NetPortChoice At(int row) const;
    void Append(const NetPortChoice& port);
    void Clear();
};

// Lists every matching port that is not listed yet and returns those, in the
// order found: a port that turns up twice is listed once.
QList<NetPortChoice> ListComPortsByName(NetPortLists& lists, const QString& namePart);

struct NetPortSearch {
    QString ecom;              // the port field of the settings form
    bool autoDetect = true;    // "АВТО определение COM порта."
    bool formVisible = false;  // the settings form is on screen: no choice dialog
    // Offers the ports with one line preselected (-1 none); returns the line
    // chosen, -1 for none.
    std::function<int(const NetPortLists& lists, int preselected)> choose;
    std::function<void()> processEvents;
};

struct NetPortSearchResult {
    bool found = false;
    NetPortChoice chosen;       // the adapter's port
    NetPortLists lists;         // every port found
    bool showInFields = false;  // the form's port fields take the chosen port
};

// The adapter is the port whose path is in the port field, else the first
// one found. Without automatic detection every serial port is offered, and
// the operator chooses when there are two or more. No port at all is told
// under "Ошибка оборудования".
NetPortSearchResult FindNetPort(const NetPortSearch& search);

// The port field names a port: not blank and not the "0" of no choice.
bool PortFieldNamesPort(const QString& ecom);
