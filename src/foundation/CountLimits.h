#pragma once
// The program's limits on the counts and numbers it keeps in the database,
// named once. The screens keep what is entered within them; a database file
// holding a count beyond them is refused at open (StoredCounts), as such a
// count sizes loops, lists and statements.

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
// entrance are small integers.
constexpr int kMaxApartmentNumber = 32767;
// A switch counts its terminals in 16 bits.
constexpr int kMaxTerminals = 65535;
// Keys of an apartment or of an entrance: a call panel counts them in 16 bits.
constexpr int kMaxKeys = 65535;
// A melody note's length and tone: one byte each in a device's file.
constexpr int kMaxNoteValue = 255;

}  // namespace CountLimits
