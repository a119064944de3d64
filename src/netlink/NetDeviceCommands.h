#pragma once
// The commands of the network devices screen: the dispatcher that runs one
// of the eleven commands on the selected devices, the polls that find the
// devices on the network, the commissioning chain of a configured device,
// the storing of a found serial number into the object and the text report
// of every device found. The loops live here and test the stop request
// between devices; the screen lends its lists and a few hooks.

#include "netlink/NetOpContext.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The lists of the screen a command takes its devices from.
enum class NetList { None, Configured, Found };

// One list as the screen shows it.
struct NetListState {
    QStringList lines;
    QList<int> selected;  // rows
    bool HasSelection() const { return !selected.isEmpty(); }
    QStringList SelectedLines() const;
};

// What the commands change on the screen besides its logs.
struct NetCommandHooks {
    std::function<void(NetList)> clearSelection;
    std::function<void(NetList, const QString& line)> unselect;
    std::function<void(int address)> updateHdevLine;
    // BitSN and NSaveSN off, and no configured device chosen for a serial number.
    std::function<void()> lockSerialStore;
    // BitSN off.
    std::function<void()> disableChain;
    // The command list usable (after a poll found devices).
    std::function<void()> enableCommands;
    // The caption over the found-device list.
    std::function<void(const QString&)> findCaption;
};

// The addresses a poll asks: below maxDevice and from sepDevice up to
// sepDevice + maxDevice, none above 126.
QList<int> PollAddresses(int sepDevice, int maxDevice);

class NetDeviceCommands {
  public:
    NetDeviceCommands(NetOpContext& ctx, NetCommandHooks hooks)
        : ctx_(ctx), hooks_(std::move(hooks)) {}

    // The initial folder of the firmware file choice.
    QString appFolder;
    // The gauge the report steps, one step an address; hidden at the end.
    std::function<void(int value, int maximum, bool visible)> progress;

    // ListCmReadDblClick after its question: the command of index on the
    // devices the lists' selections name. caption: the command's caption.
    void Run(int index, const QString& caption, const NetListState& configured,
             const NetListState& found);

    // BitFindDevClick: asks, then polls every address of the installation;
    // maxDevice is the installation's switch limit.
    void FindDevices(int maxDevice);
    // BitOstClick: polls the addresses that have not answered yet.
    void PollRest();
    // DevDobClick: asks one address; itemText names it in the log.
    void AddDevice(int address, const QString& itemText);

    // BitSNClick for one selected configured line; false when the whole
    // chain must end.
    bool PrepareDevice(const QString& line);

    // NSaveSNClick: the serial number of the device at serialAddress into
    // the configured device at target.
    void SaveFoundSerial(int target, int serialAddress, const QString& serial);

    // BitFileClick: the report of every device found, written to path.
    bool WriteReport(const QString& path);
    QStringList ReportLines() const;

  private:
    bool RunOne(int index, int address, const QString& line, NetList source,
                const NetListState& configured);
    void RunClassRequest(int address);
    void RunWrite(int address, bool fromObject);
    void RunUpload(int address);
    bool RunJumperReset(int address, const QString& line);
    NetList ChooseSource(int index, const NetListState& configured, const NetListState& found,
                         bool* chosen);

    bool StartPoll();
    bool CommissionDevice(int address, const QString& line);
    void UpdateFirmware(int address);
    void UploadPatch(int address);
    void Deselect();

    void AppendDeviceReport(int address, QStringList& lines) const;

    void Log1(const QString& line) const;
    void Log2(const QString& line) const;

    NetOpContext& ctx_;
    NetCommandHooks hooks_;
};
