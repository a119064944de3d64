#pragma once
// The main window: reads the settings file and opens the database at start,
// hosts the work screens (one shown at a time), and writes the settings back
// when it closes. Its handlers are split by what they serve: TFMainVesk.cpp
// builds the window, TFMainVeskMenu the menu and the wiring of frame buttons,
// TFMainVeskScreens the screens and their history, TFMainVeskStartup start-up,
// the database folder and shut-down, TFMainVeskResize its size.

#include "foundation/IniFile.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/ScreenServices.h"
#include "foundation/ui/MainWindowHost.h"
#include "platform/ui/ElidedLabel.h"

#include <QMainWindow>
#include <QMap>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class TScreenFrame;

class TFMainVesk : public QMainWindow, public MainWindowHost {
    Q_OBJECT
  public:
    explicit TFMainVesk(QWidget* parent = nullptr);
    ~TFMainVesk() override;

    // Published controls other forms and frames use.
    QLineEdit* Path = nullptr;  // current database folder, trailing '/'
    QPlainTextEdit* Memo2 = nullptr;
    QStatusBar* SBarMain = nullptr;
    QLabel* PanelTop = nullptr;
    QPushButton* ButEnd = nullptr;
    QPushButton* BitBack = nullptr;
    QPushButton* BitBack2 = nullptr;
    QPushButton* BitForward = nullptr;
    QPushButton* BitForward2 = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButExit = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitScreen = nullptr;

    // The hosted screens.
    TScreenFrame* FrMatr1 = nullptr;
    TScreenFrame* FrDom1 = nullptr;
    TScreenFrame* FrPod1 = nullptr;
    TScreenFrame* FrPk1 = nullptr;
    TScreenFrame* FrBv1 = nullptr;
    TScreenFrame* FrPo1 = nullptr;
    TScreenFrame* FrKvr1 = nullptr;
    TScreenFrame* FrWrite1 = nullptr;
    TScreenFrame* FrRead1 = nullptr;
    TScreenFrame* FrNetDev1 = nullptr;
    TScreenFrame* FrKeys1 = nullptr;
    TScreenFrame* FrRedact1 = nullptr;
    TScreenFrame* FrPiople1 = nullptr;
    // On the object screen: the object state line and the folder choice.
    ElidedLabel* P1_LSt = nullptr;
    QPushButton* BitSelect = nullptr;

    // Menu items by design name ("MReOpen", "MHelp0", "MPo", ...).
    QAction* MenuItem(const QString& name) const { return menuItems_.value(name); }

    // Start-up, in the fixed order; run by the constructor.
    void FormCreate();
    // Opens the database in folder; reason says why not.
    bool OpenDatabase(const QString& folder, QString* reason = nullptr);
    // Lays out the matrix grid's switch columns while the matrix frame shows.
    void FormResize() override;
    void MReOpenClick() override;
    void PanelTopDblClick();
    void ApplicationEvents1Hint(const QString& hint);
    void BitBtn1Click();
    void ExitExecute();
    // Writes the settings file when a database is open; closing is always allowed.
    bool FormCloseQuery();
    void FormClose();

    // Screens.
    TScreenFrame* FrameOfScreen(int screen) const;
    // The screen whose frame is visible, 0 when none.
    int VisibleScreen() const;
    // Runs the handler of screen 0..14; other numbers do nothing.
    void ShowScreen(int screen);
    // Records a screen being opened in the history and sets the twin buttons.
    void PushScreen(int screen);
    void LeaveScreen();
    void ShowMatrixState() override;
    void ClearMatrixState() override;
    void BitBackClick();
    void BitForwardClick();
    const ScreenHistory& History() const { return history_; }

    // Screen handlers.
    void ButEndClick();
    void MConfObjectClick();
    void MConfDomClick();
    void MConfPodClick();
    void MPkClick();
    void MBvClick();
    void MConfKvrClick();
    void MPoClick();
    void MServDelClick();
    void MKeyClick();
    void MWriteConfClick();
    void MReadConfClick();
    void MNetDeviceClick();
    void MRedactConfClick();
    void MAbonentClick();

    // Other menu commands.
    void ShowEditor(QWidget* editor);
    void MServIniClick();
    void MGlobalClick();
    void BitScreenClick();
    void BitSelectClick();
    // A later start of the program asks for the window.
    void BringToFront();
    // The object screen is entering a new object.
    bool NewObjectEntry() const { return objectPanelFlags_[0]; }
    void SetNewObjectEntry(bool on) override { objectPanelFlags_[0] = on; }
    void SetFolderChoiceEnabled(bool enabled) override;
    QString DatabaseFolder() const override;

    // Help menu.
    void MHelp0Click();
    void MEasyClick();
    void MHelp8Click();
    void MHelp9Click();
    void MAboutClick();

    // The matrix frame registers its grid here; FormResize sizes its columns.
    void SetMatrixGrid(QTableView* grid) override { matrixGrid_ = grid; }
    // Font toggle captions "ж"/"н" of the matrix, switch and call-panel grids.
    QString GridToggle(const QString& key) const override { return gridToggles_.value(key); }
    // A frame's font toggle changed; the settings file keeps it at exit.
    void SetGridToggle(const QString& key, const QString& caption) override {
        gridToggles_[key] = caption;
    }

    KeysScreenService& KeysScreen() { return *keysScreen_; }
    void SetKeysScreen(KeysScreenService* service) { keysScreen_ = service; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildMenu();
    void buildPanels();
    TScreenFrame* makeFrame(int screen);
    void wireMenu();
    void buildWindowMenu(class QMenuBar* bar);
    void wireWindowMenu();
    void wireFrameButtons();
    // The common shape of a screen handler: false when it must stop here.
    bool screenMayOpen(int screen, bool withResidents = false);
    // The screens that open with nothing but the common checks.
    void openScreen(int screen, bool withResidents = false);
    // The editors the end of the program closes.
    QList<QWidget*> objectEditors() const;
    void showFrame(int screen);
    // Title, frame shown and the menu button, after the frame's preparation.
    void showPreparedFrame(int screen);
    void returnToPreviousScreen();
    void openDeviceScreen(int screen);
    bool deviceRecordsInStep(bool switches);
    void setHistoryButtons();
    QAction* addItem(class QMenu* menu, const QString& name, const QString& caption,
                     const QString& hint = QString());
    // "Ошибка открытия БД" with the folder and the reasons below it.
    void showOpenFailure(const QString& folder, const QStringList& reasons);
    // False, after saying so, while no database is open.
    bool databaseOpenOrRefuse();
    // False, after saying so, while the database holds no object.
    bool objectListOrRefuse();
    // Size and place so that the whole window, frame included, is on its screen.
    void fitOnScreen();
    void applyWindowSettings(const struct StartupSettings& s);
    void restoreScreenAndObject(const StartupSettings& s);
    // Start-up from the global parameters on, once a database is open.
    void startOnDatabase(const IniFile& ini, bool restoreWindow);
    // With no database open: a new empty one where folder has none, or
    // another folder. True when a database is open afterwards.
    bool offerAnotherDatabase(const QString& folder);
    bool offerNewDatabase(const QString& folder);
    void useDatabaseFolder(const QString& folder);
    void writeSettingsOnClose();
    void stopNetworkForExit();

    QMap<QString, QAction*> menuItems_;
    QMap<QString, QString> gridToggles_;
    QList<TScreenFrame*> frames_;
    ScreenHistory history_;
    QTableView* matrixGrid_ = nullptr;
    PlaceholderKeysScreen placeholderKeys_;
    KeysScreenService* keysScreen_ = &placeholderKeys_;
    QString failedFolder_;  // the database folder that failed last
    bool objectPanelFlags_[4] = {false, false, false, false};
    bool closing_ = false;
};

extern TFMainVesk* FMainVesk;
