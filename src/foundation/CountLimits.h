#pragma once
// The program's limits on the counts and numbers it keeps in the database,
// named once. The screens keep what is entered within them; a database file
// holding a count beyond them is refused at open (StoredCounts), as such a
// count sizes loops, lists and statements.

#include <QtGlobal>

namespace CountLimits {

// Devices are numbered below MaxDevice, which is at most this (one byte of
// network address): so are an object's entrances (one switch each), its
// gates and the call panels of an entrance.
constexpr int kMaxDevices = 255;
// Tracts per switch (KolTractPK) and the base address of the call panels
// (SepDevice): one byte each.
constexpr int kMaxTracts = 255;
constexpr int kMaxAddress = 255;
// Flags of each kind (call panel, console) an apartment may keep.
constexpr int kMaxFlags = 16;
constexpr int kMaxHouses = 50;
constexpr int kMaxHouseEntrances = 99;  // entrance names carry two digits
// The first and last apartment numbers and the apartment count of an
// entrance are small integers (16 bits, signed).
constexpr int kMaxApartmentNumber = 32767;
// The last number and the count may lie below 0, down to the least small
// integer: the range recount leaves a count below 0 where a last number
// stands below its first, and -1 as the last number before a first number 0;
// taking a hand-made apartment from an entrance whose count was typed 0
// counts -1. Nothing is sized by them then: a range that is no range gives
// way to the count, and a count below 1 makes no rows. The first number
// never lies below 0 (the first terminal of a switch is taken from it).
constexpr int kLeastApartmentValue = -32768;
// A switch counts its terminals in 16 bits.
constexpr int kMaxTerminals = 65535;
// The rows of an entrance, its apartments and handsets, numbered from 1.
constexpr int kMaxEntranceRows = 65535;
// Keys of an apartment or of an entrance: a call panel counts them in 16 bits.
constexpr int kMaxKeys = 65535;
// Every counter of keys held stops one below that, as the counters of the
// keys taken from a configuration file always did: an owner with more keys
// never leaves a count the open refuses.
constexpr int kMostCountedKeys = kMaxKeys - 1;
// A melody note's length and tone: one byte each in a device's file.
constexpr int kMaxNoteValue = 255;

// A stored number taken within least..most: at the nearer end when beyond.
constexpr int Within(qint64 stored, int least, int most) {
    return stored < least ? least : stored > most ? most : int(stored);
}

// Numbers of the global parameters that the program never writes and its
// form shows within these ranges. A file's value beyond them is taken at
// the nearer end where it is read, rather than refuse the file.
// The console's cameras (CamPO): the items of its camera list.
constexpr int kLeastCameras = 8;
constexpr int kMostCameras = 255;
constexpr int Cameras(qint64 stored) {
    return Within(stored, kLeastCameras, kMostCameras);
}
// Numbers the program computes the next one from, each in its range: an
// apartment's terminal (p_pk, also a switch's ai when it gives the first
// terminal) and its row's position in its entrance (p_nom).
constexpr int Terminal(qint64 stored) {
    return Within(stored, 0, kMaxTerminals);
}
constexpr int EntranceRow(qint64 stored) {
    return Within(stored, 0, kMaxEntranceRows);
}
// The main window's size (WidthMain, HeightMain).
constexpr int kLeastWindowWidth = 800;
constexpr int kMostWindowWidth = 5000;
constexpr int kLeastWindowHeight = 595;
constexpr int kMostWindowHeight = 6000;

// The keys an owner holds, as its counter keeps them.
constexpr int CountedKeys(long long held) {
    return held < kMostCountedKeys ? int(held) : kMostCountedKeys;
}

}  // namespace CountLimits
