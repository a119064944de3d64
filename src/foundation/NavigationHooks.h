#pragma once
// Operations the screen handlers run that belong to the screens (objects,
// matrix, entrances, devices, apartments). Each is a named hook; where the
// operation exists in a core unit the default runs it, elsewhere the default is
// harmless and the unit that owns the operation installs it.

#include <functional>

struct DeviceSyncResult {
    bool missingApartment = false;  // an entrance had no apartment rows
};

struct NavigationHooks {
    // Object screen: the edit panel of the object list.
    std::function<void()> CloseObjectEditPanel = [] {};
    // Matrix: reopen, refill the matrix table from m_pk/m_bv, save it.
    std::function<void()> ReopenMatrix;
    std::function<void()> RebuildMatrTable;
    std::function<void()> SaveMatrix = [] {};
    // The matrix re-created from the entrances after the object screen saved
    // them (matrix table, m_pk and m_bv, the object's state).
    std::function<void()> RebuildDevices = [] {};
    // The matrix frame's "next" step: entrances of the current house.
    std::function<void()> CreateEntrancesFromMatrix = [] {};
    // Device records from the matrix, and their synchronisation with it.
    std::function<void()> CreateSwitchRecords = [] {};
    std::function<void()> CreateCallPanelRecords = [] {};
    std::function<DeviceSyncResult()> SyncDeviceRecords = [] { return DeviceSyncResult{}; };
    // The console record of the current object, created with its defaults the
    // first time it is loaded.
    std::function<void()> LoadSecurityPost = [] {};
    // The residents screen is entering or holding a selection of its list.
    std::function<bool()> ResidentSearchActive = [] { return false; };
    // Apartment checks of the apartment screen (mode 1, no fix for the counts).
    std::function<bool()> CheckApartmentNumbering;
    std::function<bool()> CheckApartmentCounts;

    NavigationHooks();
};

// The program's hooks.
NavigationHooks& Hooks();
