#pragma once
// The configuration files the write screen's builder makes of the devices of
// a database (the reference object's, as built), as files written in an
// earlier session: the device's rows are read from a copy of the database,
// the file is built from them.

#include "config/CallPanelFile.h"
#include "config/ConfigRepository.h"
#include "config/ConsoleFile.h"
#include "config/SwitchFile.h"
#include "platform/AppPaths.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QByteArray>

#include <functional>
#include <optional>

template <class Input>
QByteArray DeviceFile(const QByteArray& database,
                      const std::function<bool(ConfigRepository&, std::optional<Input>&)>& read,
                      ConfigFileBuild (*build)(const Input&, const QString&)) {
    TestDatabase db(TestDatabase::Kind::None);
    db.programDir().writeFile(
        QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName), database);
    std::optional<Input> in;
    ConfigRepository repository(db.open());
    if (!read(repository, in) || !in) {
        ADD_FAILURE() << "device file: " << repository.LastError().toStdString();
        return {};
    }
    // The name only tells the file in the builder's own lines.
    return build(*in, QStringLiteral("device.bin")).bytes;
}

inline QByteArray SwitchDeviceFile(const QByteArray& database, qint64 idNet, int nNet) {
    return DeviceFile<SwitchFileInput>(
        database,
        [&](ConfigRepository& r, std::optional<SwitchFileInput>& in) {
            return r.ReadSwitchFileInput(idNet, nNet, in);
        },
        &BuildSwitchFile);
}

inline QByteArray PanelDeviceFile(const QByteArray& database, qint64 idNet, int nNet) {
    return DeviceFile<PanelFileInput>(
        database,
        [&](ConfigRepository& r, std::optional<PanelFileInput>& in) {
            return r.ReadPanelFileInput(idNet, nNet, in);
        },
        &BuildCallPanelFile);
}

inline QByteArray ConsoleDeviceFile(const QByteArray& database, qint64 idNet) {
    return DeviceFile<ConsoleFileInput>(
        database,
        [&](ConfigRepository& r, std::optional<ConsoleFileInput>& in) {
            return r.ReadConsoleFileInput(idNet, in);
        },
        &BuildConsoleFile);
}
