#pragma once
// The work of the write-configuration screen, without its window: the
// object's write folder, the device list with the state marks, and the pass
// that builds one configuration file per selected device into that folder,
// logging into the screen's three memos and advancing the kf_pr of every
// device whose file was made. Every chosen device that gets no file has a
// line with the reason in the results, and the pass lists each device with
// what became of it (LastPass), so that nothing is left out in silence.
//
// The files come from the file builders (BuildSwitchFile, BuildCallPanelFile,
// BuildConsoleFile), which encode the sections and write every log line of
// them; this unit frames the pass around them, writes each file durably (a
// new file replaces the old one only when complete) and keeps the database
// state in step with what is on the disk.

#include "config/ConfigFileBuilder.h"
#include "config/ConfigFolders.h"
#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"
#include "config/ConfigRepository.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace WriteScreenTexts {
inline const QString kRepeatedCodesCaption = QStringLiteral("ОШИБКА!!!");
inline const QString kRepeatedCodes = QStringLiteral(
    "Имеются непроверенные или двойные коды вызова в доме. Сделайте проверку! Операция прервана.");
inline const QString kRepeatedCodesLog =
    QStringLiteral("Имеются двойные или непроверенные коды вызова в доме! Операция прервана.");
inline const QString kSaveFailed = QStringLiteral("Ошибка сохранения файла.");
inline const QString kSummaryRule = QStringLiteral("----------------");
inline const QString kSummaryTitle = QStringLiteral("ИТОГИ формирования файлов:");
inline const QString kNoDeviceChosen = QStringLiteral(
    "Не выбрано ни одного устройства. Выберите устройства в списке (Ctrl+A — выбрать все).");
inline const QString kConsoleRow = QStringLiteral("ПO  пульт охраны");  // a Latin O after П
}  // namespace WriteScreenTexts

// Network addresses the screen keeps tables for: 0..127.
constexpr int kWriteAddresses = 128;
// Call panels end at address 126 (kFirstPanelAddress is in ConfigRecords.h); 127 is the adapter.
constexpr int kLastPanelAddress = 126;
// The numeric identifier of an object fits 24 bits; larger values are
// brought below by whole steps of this size.
constexpr qint64 kIdNomStep = 16777215;

// The object's numeric identifier as the operator typed it: the digits as a
// number, reduced below 16777216 by steps of 16777215. None for a text that
// is not a whole number (empty, with a point, a sign or too many digits).
std::optional<qint64> IdNomFromText(const QString& text);
qint64 ReduceIdNom(qint64 n);

// A device's row in the list: its state mark first, its network address
// (-1 when the address is outside the screen's tables).
struct WriteListRow {
    int address = -1;
    QString text;
    int kind = kKindSwitch;  // kKindSwitch, kKindConsole or kKindCallPanel
    qint64 nNet = 0;         // the network number as stored, even outside the tables
    qint64 id = 0;           // id_pk, id_po or id_bv of the row shown
};

// What the last pass did for one device. Every chosen device has one, in the
// order the results name them, and so has every call panel that repeats the
// address of a chosen one (the list shows one panel an address).
struct WriteDeviceResult {
    int kind = kKindSwitch;
    int row = -1;           // its list row; -1 for a panel the list does not show
    QString device;         // as the list shows it, without the mark (a panel after its number)
    bool fileMade = false;  // its file was written
    QStringList lines;      // its summary lines after its label: the reason when no file
    QList<NarrowedValue> narrowed;      // its values the file holds other than stored
    QList<NarrowedText> narrowedTexts;  // its texts the file holds cut or with stand-ins
};

// The result line of a device that gets no file, with the reason:
// "Файл для КМ01 д.1 под.2 НЕ СОЗДАН: сетевой номер 1 занят коммутатором КМ01 д.1 под.1."
QString NoFileLine(const QString& device, const QString& reason);

// How a pass ended.
struct WritePassResult {
    int driversRun = 0;    // devices a file was attempted for
    bool stopped = false;  // repeated call codes stopped the whole pass
};

// What a pass uses to make and keep files; tests put their own in.
struct ConfigFileMakers {
    std::function<ConfigFileBuild(const SwitchFileInput&, const QString&)> switchFile;
    std::function<ConfigFileBuild(const PanelFileInput&, const QString&)> panelFile;
    std::function<ConfigFileBuild(const ConsoleFileInput&, const QString&)> consoleFile;
    // Puts the bytes in place of the file; false with error set when not.
    std::function<bool(const QString& path, const QByteArray& bytes, QString* error)> writeFile;
    ConfigFileMakers();  // the program's builders and DurableFile::Write
};

class ConfigWriteScreen {
  public:
    explicit ConfigWriteScreen(QSqlDatabase db);

    // ---- the object and its folder ----
    // Computes the write folder of the object and remembers it; showing the
    // screen writes nothing, so the folder is made only when files are built.
    void SetWriteFolder(const QString& dbFolder, qint64 idNet);
    // Computes and creates the write folder of the object; false with error
    // set when it cannot be made (the folder is still remembered).
    bool BuildWriteFolder(const QString& dbFolder, qint64 idNet, QString* error = nullptr);
    QString WriteFolder() const { return folder_; }
    qint64 IdNet() const { return idNet_; }

    // ---- the device list ----
    // Every switch, the console (when the object has a security post) and
    // every call panel, with their state marks; the row table follows.
    // False when the database failed (LastError says why).
    bool RefreshDeviceList();
    const QList<WriteListRow>& Rows() const { return rows_; }
    // The list row of the device at an address, -1 when none.
    int RowOfAddress(int address) const;
    // The rows of devices without a file or with changed data (their mark
    // is none of '*', '+', 'w').
    QList<int> ChangedRows() const;

    // ---- building ----
    // Builds a file for each device whose row is selected, switches first,
    // then the console, then the call panels. The lines go to Logs(). A
    // device that gets none is told with its reason: its number outside what
    // the screen builds or not in the matrix, its address held by another
    // device, its record or the object gone, a value refused; the summary
    // then ends with the count of files not made.
    WritePassResult BitCreateClick(const QList<int>& selectedRows);
    // One device each: builds and writes the file at fileName and returns
    // the device's result line for the summary.
    QString WritePkFile(const QString& fileName, int nNet);
    QString WriteBvFile(const QString& fileName, int address);
    QString WritePoFile(const QString& fileName);

    // "Резервировать слоты для ключей": spare key slots in call-panel files.
    void SetReserveSlots(bool on) { reserveSlots_ = on; }
    // The gauge of the progress window, stepped once a device.
    void SetProgress(std::function<void(int value, int maximum, bool visible)> progress) {
        progress_ = std::move(progress);
    }
    // Run after a device's kf_pr changed, with its kind, so that the data
    // module's datasets show it.
    void SetAfterStateChange(std::function<void(int kind)> after) {
        afterStateChange_ = std::move(after);
    }
    ConfigFileMakers& Makers() { return makers_; }

    // Memo1, Memo2 and Memo3 of the screen: detailed log, result log and the
    // one result line per device of the last pass. The frame takes the lines
    // and clears them.
    ConfigLogs& Logs() { return logs_; }
    // Each device of the last pass with what became of it; kept until the
    // next pass. A pass that repeated call codes stopped lists the devices
    // it did not reach too, with the stop line.
    const QList<WriteDeviceResult>& LastPass() const { return lastPass_; }
    QString LastError() const { return error_; }
    int SepDevice() const { return sepDevice_; }

  private:
    bool readSepDevice();
    int lastPanelAddress() const;
    // Whether the pass builds a file at the row's address for its kind:
    // switches below the console's address, the console at it, panels from 64.
    bool buildsAt(const WriteListRow& row) const;
    void selectRows(const QList<int>& selectedRows);
    // False when the object is gone: every chosen device is told so.
    bool objectStillThere();
    void buildSwitches(WritePassResult& pass);
    void buildSwitch(int address, WritePassResult& pass);
    // False when repeated call codes stop the whole pass.
    bool buildConsole(WritePassResult& pass);
    void buildPanels(WritePassResult& pass);
    void buildPanel(int address, WritePassResult& pass);
    // The panels at an address other than the one whose file was made.
    void tellPanelsSharing(int address, qint64 builtId, const QString& builtName);
    // Why the chosen switch of a row has no switch for its file.
    QString switchAbsence(const WriteListRow& row);
    // Chosen rows of a kind no device part was opened for: their numbers are
    // outside what the screen builds.
    void tellRowsLeft(int kind);
    // Each device's summary lines into its entry of the pass.
    void takeDeviceLines();
    // The summary's closing line when a chosen device got no file.
    void closeSummary();
    // After repeated codes stopped the pass at the console: the console and
    // the devices not reached are listed with the stop line.
    void listStopped();
    // Opens the part of the logs and the pass's entry of a device; row is
    // its list row, -1 for a panel the list does not show.
    void beginDevice(int row, int kind, const QString& device, const QString& label,
                     int detailBlankLines);
    // A device that gets no file: its part of the logs with the reason. The
    // device is the row's unless named.
    void skipDevice(int row, int kind, const QString& label, const QString& reason,
                    const QString& device = QString());
    // The line of the device whose part of the logs is open, which gets no file.
    QString noFileLine(const QString& reason) const;
    // The chosen rows of a kind at an address.
    QList<int> chosenRowsAt(int kind, qint64 nNet) const;
    // The list row of a kind's record, -1 when the list does not show it.
    int rowOf(int kind, qint64 id) const;
    QString rowDevice(int row) const;
    QString rowLabel(int row) const;
    // The lines that open a device's part of the three logs.
    void deviceHeading(const QString& label, int detailBlankLines);
    // The device's result line into the result log and the summary.
    void addResult(const QString& line);
    // False when the database failed.
    bool houseCodesRepeated(bool& repeated);
    // A gate panel's houses and every panel's entrances, of the switches wired to it.
    bool panelCodesRepeated(qint64 idBv, int bvType, bool& repeated);
    void reportRepeatedCodes();
    // Builds one file with build, writes it and advances the device's kf_pr.
    QString makeFile(int kind, const QString& fileName, qint64 recordId,
                     const std::function<ConfigFileBuild()>& build);
    bool advanceFileState(int kind, qint64 recordId);
    // The records could not be read: the reason, and the file is not made.
    QString readFailure(const QString& fileName, const QString& error);

    QSqlDatabase db_;
    ConfigFileMakers makers_;
    qint64 idNet_ = 0;
    QString dbFolder_;
    QString folder_;
    int sepDevice_ = 63;
    bool reserveSlots_ = true;
    QList<WriteListRow> rows_;
    std::array<int, kWriteAddresses> rowOfAddress_{};
    QList<int> chosen_;    // the rows chosen for the pass under way
    QList<int> reported_;  // those the pass has told about
    QList<WriteDeviceResult> lastPass_;
    QList<qsizetype> summaryAt_;  // the line of each device's label in the summary
    ConfigLogs logs_;
    QString error_;
    std::function<void(int, int, bool)> progress_;
    std::function<void(int)> afterStateChange_;
    // What the pass under way has read for its panels' files.
    std::shared_ptr<ConfigPassReads> passReads_;
    int stepsDone_ = 0;  // devices done and to do in the pass, for the gauge
    int stepsTotal_ = 0;
};
