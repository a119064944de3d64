#pragma once
// The network devices screen (FrNetDev1): starts and stops the device
// network's link, lists the devices configured in the current object and the
// devices that answered on the network, shows a found device's class
// information, and runs one of the commands on the selected devices. The link
// itself belongs to the network settings form; this frame shows it.

#include "foundation/ui/TScreenFrame.h"
#include "netlink/NetDeviceCommands.h"
#include "netlink/NetOpContext.h"
#include "netlink/ui/LinkLinesView.h"

#include <QPointer>

#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TFNetTime;
class TNetLink;

class TFrNetDev : public TScreenFrame {
    Q_OBJECT
  public:
    explicit TFrNetDev(QWidget* parent = nullptr);

    QListWidget* ListHdev = nullptr;  // devices configured in the object
    QListWidget* ListCdev = nullptr;  // devices found on the network
    QListWidget* ListCmRead = nullptr;
    QPushButton* BitAct = nullptr;
    QLineEdit* EPassw = nullptr;
    QLineEdit* EIdent = nullptr;
    QPlainTextEdit* Memo1 = nullptr;  // request log
    QPlainTextEdit* Memo2 = nullptr;  // result log
    QFrame* PanelDev = nullptr;       // class information of one device
    QPlainTextEdit* MemoAtr = nullptr;
    QLineEdit* E_SN = nullptr;  // hidden: the serial number shown; its address in "Tag"
    QPushButton* BitStartNet = nullptr;
    QPushButton* BitStopNet = nullptr;
    QPushButton* BitFindDev = nullptr;
    QPushButton* BitOst = nullptr;
    QComboBox* CBDev = nullptr;
    QPushButton* DevDob = nullptr;
    QPushButton* BitSN = nullptr;
    QPushButton* BitFalse = nullptr;
    QPushButton* BitAPP = nullptr;
    QPushButton* BitCNF = nullptr;
    QPushButton* BitFile = nullptr;
    QLabel* LabWait = nullptr;
    QLabel* LFind = nullptr;
    QFrame* PanelKlass = nullptr;  // the two logs
    QPushButton* ButPassYes = nullptr;
    QPushButton* VvodObj = nullptr;
    // Popup menus: configured list (N1, N4, NSaveSN), found list (N2, N3),
    // command list (N5, PMFont). NSaveSN's "Tag" is the configured device
    // chosen to receive the shown serial number (-1 none).
    QAction* N1 = nullptr;
    QAction* N4 = nullptr;
    QAction* NSaveSN = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N5 = nullptr;
    QAction* PMFont = nullptr;

    // Runs the command of the given index on the selected devices; installed
    // by the commands' owner. Without it the commands do nothing.
    std::function<void(int command)> RunCommand;

    // The settings form whose link this screen shows: the program's FNetTime
    // unless bound to another; nullptr before there is one.
    void BindNetForm(TFNetTime* form);
    TFNetTime* NetForm();
    // The link of that form; nullptr before there is one.
    TNetLink* Link();
    // The initial folder of the firmware file choice.
    QString AppFolder() const { return appFolder_; }
    // The object the configured list was filled for (-1 none).
    qint64 ListedObject() const { return listedObject_; }

    void PrepareScreen(const QString& dbFolder) override;
    void ShowFrNetDev();
    void BitStartNetClick();
    void BitStopNetClick();
    void BeginDeviceOp();
    void EndDeviceOp();
    void FillDeviceList();
    void UpdateHdevLine(int address);
    void ListCdevClick();
    void ShowDeviceClass();
    void ListAppFiles();
    void ListCmReadDblClick();
    void BitFalseClick();
    // The commands.
    void RunDeviceCommand(int command);
    void BitFindDevClick();
    void BitOstClick();
    void DevDobClick();
    void BitSNClick();
    void NSaveSNClick();
    void ListHdevDblClick();
    void BitFileClick();
    void BitCNFClick();
    void PMFontClick();
    void BitAPPClick();
    void VvodObjClick();
    void PanelKlassResize();
    // The firmware upload into the adapter (the settings form's "Обновить СУС").
    void UploadIntoAdapter();
    // Shows the link's logs and found devices.
    void ShowLinkState();
    // What the device operations run on: this screen's link, logs, lists,
    // password and object; none before there is a link.
    std::optional<NetOpContext> OperationContext();
    // The configured-device lines, and the selected line of each list.
    QStringList ConfiguredLines() const { return hdevLines_; }
    std::optional<QString> SelectedConfiguredLine() const;
    std::optional<QString> SelectedFoundLine() const;
    // The restart pause after a stop ran out.
    void RestartAllowed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLayout* buildTopRow();
    QLayout* buildLists();
    QWidget* buildCommands();
    QWidget* buildLogs();
    void wireControls();
    void setLinkControls(bool running);
    qint64 currentObject() const;
    void showBusy(bool busy);
    void selectFoundLine(const QString& serial);
    void buildMenus();
    void wireCommands();
    NetCommandHooks commandHooks();
    void lockSerialStore();
    void showClassOf(int address);
    void afterCommand();

    QPointer<TFNetTime> form_;
    qint64 listedObject_ = -1;
    QString appFolder_;
    QStringList hdevLines_;
    ListLinesView hdevView_{nullptr};
    ListLinesView cdevView_{nullptr};
    MemoLinesView memo1View_{nullptr};
    MemoLinesView memo2View_{nullptr};
};
