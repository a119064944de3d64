#pragma once
// "Настройки сети" (FNetTime): the device network's port and everything the
// link reads from the screen: the wait and the read attempts, the port's
// time-outs, the adapter's port with its USB identity, sniffer mode with its
// log file, the packet journals with their counters and the four timers of
// the background receive. It owns the link engine; the network devices
// screen works through it. It also reads the adapter's firmware version and
// writes a new USB identity into the adapter.

#include "foundation/ScreenServices.h"
#include "netlink/NetPortDiscovery.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/LinkLinesView.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

class TFNetTime : public QDialog, public NetSettingsService {
    Q_OBJECT
  public:
    explicit TFNetTime(QWidget* parent = nullptr);
    ~TFNetTime() override;

    // Port time-outs and the link's timing.
    QSpinBox* SReadInterval = nullptr;
    QSpinBox* SReadTotalConstant = nullptr;
    QSpinBox* SReadTotalMultiplier = nullptr;
    QSpinBox* SWriteTotalConstant = nullptr;
    QSpinBox* SWriteTotalMultiplier = nullptr;
    QSpinBox* SWaitNet = nullptr;
    QSpinBox* CountRead = nullptr;
    // The adapter's port and USB identity.
    QGroupBox* PanelVP = nullptr;
    QCheckBox* ChCOM = nullptr;
    QLineEdit* ECom = nullptr;
    QLineEdit* EVid = nullptr;
    QLineEdit* EPid = nullptr;
    QListWidget* ListCdev = nullptr;
    QListWidget* ListVdev = nullptr;
    QListWidget* ListPdev = nullptr;  // hidden; its hint is the database folder
    QPushButton* ButVP = nullptr;
    QPushButton* ButSave = nullptr;
    QLabel* LabWait = nullptr;
    // The adapter's firmware.
    QLineEdit* EVer = nullptr;
    QPushButton* ButVer = nullptr;
    QPushButton* ButNew = nullptr;
    // Sniffer mode.
    QCheckBox* ReadYes = nullptr;
    QCheckBox* SaveAppend = nullptr;
    QPushButton* ButLog = nullptr;
    // Journals, counters and the form's log.
    QPlainTextEdit* MemoSend = nullptr;
    QPlainTextEdit* MemoRead = nullptr;
    QSpinBox* ESend = nullptr;
    QSpinBox* ERead = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    // Commands.
    QPushButton* ButCnf = nullptr;
    QPushButton* BitDef = nullptr;
    QPushButton* BitClose = nullptr;
    QPushButton* SpeedButton1 = nullptr;  // help
    QAction* NHelp = nullptr;
    QAction* NReOpen = nullptr;
    // The background receive.
    QTimer* TmSend = nullptr;
    QTimer* TmRead = nullptr;
    QTimer* TimerAsinc = nullptr;
    QTimer* TimerRestart = nullptr;

    TNetLink& Link() { return *link_; }
    // The packet log file (the save dialog's file name).
    QString LogFileName() const { return logFileName_; }
    // 1 while sniffer mode has a log file.
    int ReadYesTag() const { return readYesTag_; }

    // Searches the adapter's port: fills the found lists and, where the search
    // says so, the port fields; asks the operator to choose among several.
    std::optional<NetPortChoice> FindNetPort();
    // Shows the link's journals, counters, log and the adapter's version.
    void ShowLinkState();
    // The link stopped: the adapter's identity fields are cleared and its
    // identity can be written only after a new search.
    void LinkStopped();

    // Handlers.
    void FormActivate();
    bool FormCloseQuery();
    void BitCloseClick();
    void BitDefClick();
    void EComChange();
    void SReadIntervalChange();
    void SReadTotalConstantChange();
    void SReadTotalMultiplierChange();
    void ButVPClick();
    void ListCdevDblClick();
    void ButSaveClick();
    void ButVerClick();
    void ButNewClick();
    void ReadYesClick();
    bool ChooseLogFile();
    void ButLogClick();
    void ButCnfClick();
    void NHelpClick();
    void NReOpenClick();

    // The main window's service.
    NetFormSettings Settings() const override;
    void StopTimersForExit() override;
    bool NetworkRunning() const override;
    bool CloseNetPort(bool showAnswer) override;
    QString DatabaseFolder() const override { return dbFolder_; }
    void ChangeDatabaseFolder(const QString& folder) override;

    // Tests skip the link's long settling pauses with their own, and may run
    // its clock on by the pauses they skip.
    void SetPauseForTests(std::function<void(int ms)> pause) { pauseForTests_ = std::move(pause); }
    void SetClockForTests(std::function<qint64()> now) { clockForTests_ = std::move(now); }

  signals:
    // The link's lists or state changed: screens that show them refresh.
    void linkChanged();
    // The restart timer ran out: the link may be started again.
    void restartAllowed();
    // Both questions of "Обновить СУС" were answered Yes.
    void adapterUploadRequested();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kHelpTopic = 402;

    QWidget* buildTimingColumn();
    QWidget* buildAdapterColumn();
    QWidget* buildJournalColumn();
    QHBoxLayout* buildCommandRow();
    void buildMenu();
    void buildTimers();
    void wireControls();
    void readSettingsFile();
    NetLinkHooks linkHooks();
    QTimer* timerFor(NetTimer timer) const;
    void applyLinkSettings();
    void openNetLog();
    void showReadYesTag();
    void ensureLogFolder();
    void showPanelState();

    std::unique_ptr<TNetLink> link_;
    QString dbFolder_;
    QString logFileName_;
    int readYesTag_ = 0;
    NetPortLists foundPorts_;
    std::function<void(int)> pauseForTests_;
    std::function<qint64()> clockForTests_;
    MemoLinesView sendView_{nullptr};
    MemoLinesView readView_{nullptr};
    MemoLinesView logView_{nullptr};
};

extern TFNetTime* FNetTime;
