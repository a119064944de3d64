#pragma once
// Reads the records one device's configuration file is built from, for the
// write screen: the object, the device row and what hangs on it (parameter
// set, tract panels, apartments, melodies, the call-code apartment lists).
// The rows are those the data module's datasets give the screen (switches as
// Q_MNpk finds them, apartments as Q_KvN, panels by tract as the screen's
// scratch query, call-code lists as QwBpo/QwKvr and Q_pk_po/Q_kv_pk), read
// with bound values only.
//
// Every reader returns false when the database fails (LastError() says why)
// and true otherwise; an optional output left empty means "no such row".

#include "config/ConfigRecords.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <QHash>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

// What one pass over an object's devices reads once for all its files
// instead of once a file: every entrance's apartments with their keys and
// its common keys, the keys of entrances linked to a panel, and the width of
// the object's call-code prefixes. The rows are read for the whole object
// at once, the first time a file needs one of its entrances. A pass writes
// none of the rows the files are built from, so what it read stays true for
// the pass; it is dropped with the pass.
struct ConfigPassReads {
    struct Entrance {
        QList<PanelApartmentRow> apartments;
        QStringList commonKeys;
    };
    QHash<qint64, QSet<qint64>> entrancesOfObject;  // id_net -> its entrances read
    QHash<qint64, Entrance> entrances;              // by id_pod
    QSet<qint64> linkedObjects;                     // id_net whose linked keys were read
    QHash<qint64, QStringList> linkedKeys;          // by id_pod
    QHash<qint64, int> prefixWidths;                // by id_net
};

class ConfigRepository {
  public:
    explicit ConfigRepository(QSqlDatabase db);

    QString LastError() const { return error_; }
    // The reads of the pass this repository builds files for; none (the
    // default) reads everything for each file.
    void ShareReads(std::shared_ptr<ConfigPassReads> reads) { reads_ = std::move(reads); }

    bool ReadObject(qint64 idNet, std::optional<ConfigObjectRow>& out);
    // SepDevice of t_global; the program's value when the row is missing.
    bool ReadSepDevice(int& out);

    // ---- switches ----
    // The switch with network number nNet among the object's switches that
    // have an entrance, a house and a matrix column.
    bool ReadSwitch(qint64 idNet, int nNet, std::optional<SwitchRow>& out);
    bool ReadParamSet(qint64 idKe, std::optional<PkParamSetRow>& out);
    // Network numbers of the panels wired to the switch (plus 1 or 3), for
    // tracts 1..15, ascending.
    bool ReadTractPanels(qint64 idPk, QList<QList<int>>& out);
    // The k_kvr rows of the entrance, apartments and handsets, by p_nom.
    bool ReadEntranceApartments(qint64 idPod, QList<SwitchApartmentRow>& out);
    // A melody offered to switches (a call or ring-back melody) with its notes.
    bool ReadSwitchMelody(qint64 idMel, std::optional<MelodyRow>& out);
    // All of the above for one switch; empty when the object or the switch is missing.
    bool ReadSwitchFileInput(qint64 idNet, int nNet, std::optional<SwitchFileInput>& out);

    // ---- call panels and the console ----
    // The object's call panel with network address nNet.
    bool ReadPanel(qint64 idNet, int nNet, std::optional<PanelRow>& out);
    // The object's console row with its section-0 columns.
    bool ReadConsole(qint64 idNet, std::optional<ConsoleRow>& out);
    // A console melody (for a visitor or a subscriber) with its notes.
    bool ReadConsoleMelody(qint64 idMel, std::optional<MelodyRow>& out);
    // Every switch of the object by network number, with its entrance's rows
    // by p_nom and the panels wired to it.
    bool ReadConsoleSwitches(qint64 idNet, QList<ConsoleSwitchRow>& out);
    // All of the above for the console file; empty when the object is missing.
    bool ReadConsoleFileInput(qint64 idNet, std::optional<ConsoleFileInput>& out);
    // A panel's apartments: the entrances wired to it (plus 1 or 3) by their
    // switch's network number, each entrance's rows by p_nom.
    bool ReadPanelCallApartments(qint64 idBv, QList<CallCodeApartmentRow>& out);
    // The console's apartments: every switch by network number, each
    // entrance's rows by p_nom.
    bool ReadConsoleCallApartments(qint64 idNet, QList<CallCodeApartmentRow>& out);
    // Codes and origins of all the object's rows (for CallCodePrefixWidth).
    bool ReadObjectCallCodes(qint64 idNet, QList<CallCodeApartmentRow>& out);
    // The entrances wired to panel idBv of object idNet (plus 1 or 3) by
    // their switch's network number, each with its apartments by p_nom,
    // their keys in the order entered, and its distinct common keys.
    bool ReadPanelEntrances(qint64 idNet, qint64 idBv, QList<PanelEntranceRow>& out);
    // The entrances linked to a panel with plus 2 by switch network number,
    // each with the distinct keys of its apartments and its common keys.
    bool ReadPanelLinkedEntrances(qint64 idNet, qint64 idBv, QList<PanelLinkedEntranceRow>& out);
    // The keys of a gate panel, by label.
    bool ReadGateKeys(qint64 idBv, QStringList& out);
    // All of the above for one call panel (spare key slots wanted, as the
    // write screen starts); empty when the object or the panel is missing.
    bool ReadPanelFileInput(qint64 idNet, int nNet, std::optional<PanelFileInput>& out);

  private:
    bool run(QSqlQuery& q, const QString& sql, const QVariantList& values);
    bool forEachRow(const QString& sql, const QVariantList& values,
                    const std::function<void(const QSqlQuery&)>& each);
    // The first row made into a record by fill; out stays empty without rows.
    template <typename Row, typename Fill>
    bool firstRow(const QString& sql, const QVariantList& values, std::optional<Row>& out,
                  Fill fill);
    // A melody whose use (t_mel.forr) is one of the two, with its notes.
    bool readMelody(qint64 idMel, const QString& useA, const QString& useB,
                    std::optional<MelodyRow>& out);
    bool readCallApartments(const QString& sql, const QVariantList& values,
                            QList<CallCodeApartmentRow>& out);
    bool readPanelApartments(PanelEntranceRow& entrance);
    // The apartments (with keys) and common keys of an entrance wired to a
    // panel of object idNet.
    bool readEntranceContent(qint64 idNet, PanelEntranceRow& entrance);
    bool readObjectEntrances(qint64 idNet, QSet<qint64>& ids);
    bool readLinkedKeys(qint64 idNet, PanelLinkedEntranceRow& entrance);
    bool readPrefixWidth(qint64 idNet, int& width);
    // The keys (first column) a statement with one bound id selects.
    bool readKeys(const QString& sql, qint64 id, QStringList& out);

    QSqlDatabase db_;
    QString error_;
    std::shared_ptr<ConfigPassReads> reads_;
};
