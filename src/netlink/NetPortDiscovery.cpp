#include "netlink/NetPortDiscovery.h"

#include "platform/Dialogs.h"

bool PortMatchesName(const ComPortInfo& port, const QString& namePart) {
    if (port.systemLocation.isEmpty()) return false;
    if (namePart == kAnySerialPort) return true;
    return !port.description.isEmpty() && port.description.contains(namePart);
}

void FindComPortByName(NetPortChoice& found, const QString& namePart) {
    for (const ComPortInfo& port : ComPorts::Ports())
        if (PortMatchesName(port, namePart)) found = {port.systemLocation, port.vid, port.pid};
}

NetPortChoice NetPortLists::At(int row) const {
    if (row < 0 || row >= Count()) return {};
    return {ports.at(row), vids.value(row), pids.value(row)};
}

void NetPortLists::Append(const NetPortChoice& port) {
    ports.append(port.port);
    vids.append(port.vid);
    pids.append(port.pid);
}

void NetPortLists::Clear() {
    ports.clear();
    vids.clear();
    pids.clear();
}

QList<NetPortChoice> ListComPortsByName(NetPortLists& lists, const QString& namePart) {
    QList<NetPortChoice> added;
    for (const ComPortInfo& port : ComPorts::Ports()) {
        if (!PortMatchesName(port, namePart) || lists.ports.contains(port.systemLocation)) continue;
        const NetPortChoice choice{port.systemLocation, port.vid, port.pid};
        lists.Append(choice);
        added.append(choice);
    }
    return added;
}

bool PortFieldNamesPort(const QString& ecom) {
    const QString text = ecom.trimmed();
    return !text.isEmpty() && text != QLatin1String("0");
}

namespace {

struct PortChoiceState {
    NetPortChoice chosen;
    int chosenRow = -1;  // set only when the port field named the port
};

// The port in the port field wins; otherwise the first one found stays.
void ChooseAmong(const QList<NetPortChoice>& added, const NetPortLists& lists, const QString& ecom,
                 PortChoiceState& state) {
    for (const NetPortChoice& port : added) {
        if (PortFieldNamesPort(ecom) && port.port == ecom.trimmed()) {
            state.chosen = port;
            state.chosenRow = int(lists.ports.indexOf(port.port));
        } else if (state.chosen.port.isEmpty()) {
            state.chosen = port;
        }
    }
}

}  // namespace

NetPortSearchResult FindNetPort(const NetPortSearch& search) {
    NetPortSearchResult result;
    PortChoiceState state;
    auto pass = [&](const QString& namePart) {
        if (search.processEvents) search.processEvents();
        ChooseAmong(ListComPortsByName(result.lists, namePart), result.lists, search.ecom, state);
    };
    pass(kNetAdapterNamePart);
    if (!search.autoDetect) pass(kAnySerialPort);

    if (result.lists.Count() == 0) {
        Dialogs::Error(QStringLiteral("Ошибка оборудования"),
                       QStringLiteral("Не обнаружены COM порты. Подключите СУС!"));
        return result;
    }
    result.found = true;
    result.chosen = state.chosen;
    bool operatorChose = false;
    if (!search.formVisible && !search.autoDetect && result.lists.Count() >= 2 && search.choose) {
        const int row = search.choose(result.lists, state.chosenRow);
        if (row >= 0 && row < result.lists.Count()) {
            result.chosen = result.lists.At(row);
            operatorChose = true;
        }
    }
    result.showInFields = search.autoDetect || operatorChose;
    return result;
}
