#include "foundation/MainWindowLogic.h"

#include "foundation/BitAndStr.h"
#include "foundation/DbSchema.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

QString MainWindowTexts::OpenFailed(const QString& folder, const QStringList& reasons) {
    QString text = QStringLiteral("Ошибка открытия БД ") + folder + QLatin1Char('!');
    for (const QString& reason : reasons)
        if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
    return text;
}

namespace {
const QString kNothingSaved = QStringLiteral("\nИзменения в БД сохранить не удастся.");
}  // namespace

QString MainWindowTexts::ReadOnlyFolderWarning(const QString& folder) {
    return DbFileTexts::ReadOnlyFolder(folder) + kNothingSaved;
}

QString MainWindowTexts::ReadOnlyFileWarning(const QString& file) {
    return DbFileTexts::ReadOnlyFile(file) + kNothingSaved;
}

QString MainWindowTexts::SettingsNotSaved(const QString& file, const QString& reason) {
    return WithReason(QStringLiteral("Настройки программы не сохранены в файле ") + file, reason);
}

QString MainWindowTexts::NewDatabaseQuestion(const QString& folder) {
    return QStringLiteral("В папке ") + folder +
           QStringLiteral(" нет файла БД. Создать в ней новую пустую БД?");
}

QString MainWindowTexts::NewDatabaseFailed(const QString& folder, const QString& reason) {
    return WithReason(QStringLiteral("Новая БД в папке ") + folder + QStringLiteral(" не создана"),
                      reason);
}

namespace MainWindowLogic {

namespace {
QFileInfo databaseFileIn(const QString& folder) {
    return QFileInfo(QDir(folder).filePath(QLatin1String(AppPaths::kDbFileName)));
}
QFileInfo folderItself(const QString& folder) {
    return QFileInfo(QDir::cleanPath(folder));
}
}  // namespace

bool NewDatabaseMayBeMade(const QString& folder) {
    if (folder.trimmed().isEmpty()) return false;
    const QFileInfo file = databaseFileIn(folder);
    if (file.exists() || file.isSymLink()) return false;
    const QFileInfo dir = folderItself(folder);
    return dir.isDir() || (!dir.exists() && dir.dir().exists());
}

bool MakeNewDatabase(const QString& folder, QString* error) {
    const QFileInfo dir = folderItself(folder);
    if (!dir.isDir() && !dir.dir().mkdir(dir.fileName())) {
        if (error) *error = QStringLiteral("Не удалось создать папку ") + dir.filePath();
        return false;
    }
    return CreateNewDatabase(databaseFileIn(folder).filePath(), error);
}

DbOpenOutcome OpenDatabaseWithFallback(const QString& savedFolder, const QString& defaultFolder,
                                       const DbOpener& openDatabase) {
    DbOpenOutcome outcome;
    QStringList folders;
    if (savedFolder.compare(QStringLiteral(" ")) > 0) folders << savedFolder;
    if (!folders.contains(defaultFolder)) folders << defaultFolder;
    for (const QString& folder : folders) {
        QString reason;
        outcome.folder = folder;
        outcome.opened = openDatabase(folder, &reason);
        if (outcome.opened) break;
        outcome.reasons << reason;
    }
    return outcome;
}

QSize FitWindowToScreen(const QSize& saved, const QSize& available, const QSize& frame) {
    if (available.isEmpty()) return saved;
    const QSize room = available - frame;
    return {std::min(saved.width(), room.width()), std::min(saved.height(), room.height())};
}

QRect KeepWithin(QRect frame, const QRect& area) {
    if (frame.right() > area.right()) frame.moveRight(area.right());
    if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
    if (frame.left() < area.left()) frame.moveLeft(area.left());
    if (frame.top() < area.top()) frame.moveTop(area.top());
    return frame;
}

int ExitScreenNumber(const std::function<bool(int)>& frameVisible) {
    for (int screen : Screens::FrameScreens())
        if (frameVisible(screen)) return screen;
    return 0;
}

int StartScreen(int savedScreen, bool objectListEmpty) {
    if (!objectListEmpty) return savedScreen;
    return savedScreen == 11 || savedScreen == 12 ? savedScreen : 1;
}

int MatrixFirstColumnWidth(const QString& toggleCaption) {
    return toggleCaption == QStringLiteral("ж") ? 160 : 140;
}

int MatrixColumnWidth(int gridWidth, int columnCount, int firstColumnWidth, bool lastIsNameColumn) {
    // A grid with only its first column has no switch column to size.
    if (columnCount < 2) return kMinMatrixColumn;
    int available = gridWidth - columnCount - firstColumnWidth;
    if (lastIsNameColumn) available -= firstColumnWidth;
    const qint64 w = RoundHalfAway(double(available) / double(columnCount - 1));
    return int(std::clamp<qint64>(w, kMinMatrixColumn, kMaxMatrixColumn));
}

int MainHelpTopic(const QString& activeFormName, int visibleScreen) {
    static const QHash<QString, int> formTopics = {
        {QStringLiteral("FNetTime"), 402}, {QStringLiteral("FObEdit"), 503},
        {QStringLiteral("FGlVal"), 504},   {QStringLiteral("FSvTable"), 505},
        {QStringLiteral("FpkEdit"), 231},  {QStringLiteral("FskEdit"), 232},
        {QStringLiteral("FbvEdit"), 241},  {QStringLiteral("FkvEdit"), 242},
        {QStringLiteral("FMelF"), 234},    {QStringLiteral("FMelP"), 211},
        {QStringLiteral("FMifare"), 207},  {QStringLiteral("FdpkPort"), 235},
        {QStringLiteral("FpoAppr"), 212},  {QStringLiteral("AboutBox"), 1},
        {QStringLiteral("FpkAppr"), 236},
    };
    static const QHash<int, int> screenTopics = {
        {1, 101}, {2, 103},  {3, 104},  {6, 105},  {7, 201},  {4, 230},  {5, 240},
        {9, 205}, {10, 301}, {11, 302}, {13, 303}, {12, 401}, {14, 106},
    };
    if (const auto it = formTopics.find(activeFormName); it != formTopics.end()) return it.value();
    return screenTopics.value(visibleScreen, 100);
}

}  // namespace MainWindowLogic

namespace Screens {

const ScreenInfo* Find(int screen) {
    static const QList<ScreenInfo> table = {
        {0, QString(), QString()},
        {1, QStringLiteral("FrMatr1"), QStringLiteral("Выбор объекта или ввод нового объекта")},
        {2, QStringLiteral("FrDom1"), QStringLiteral("Матрица доступа к объекту")},
        {3, QStringLiteral("FrPod1"), QStringLiteral("Подъездная структура объекта")},
        {4, QStringLiteral("FrPk1"), QStringLiteral("Конфигурирование КМ")},
        {5, QStringLiteral("FrBv1"), QStringLiteral("Конфигурирование блоков вызова")},
        {6, QStringLiteral("FrKvr1"), QStringLiteral("Распределение квартир подъезда")},
        {7, QStringLiteral("FrPo1"), QStringLiteral("Конфигурирование пульта поста охраны")},
        {8, QString(), QString()},
        {9, QStringLiteral("FrKeys1"), QStringLiteral("Ключи объекта")},
        {10, QStringLiteral("FrWrite1"),
         QStringLiteral("Файлы конфигурации; Создание конфигурационных файлов")},
        {11, QStringLiteral("FrRead1"),
         QStringLiteral("Разбор конфигурационных файлов, сохраненных в каталогах ")},
        {12, QStringLiteral("FrNetDev1"), QStringLiteral("Работа с сетью; Сетевые устройства")},
        {13, QStringLiteral("FrRedact1"), QStringLiteral("Просмотр конфигурационных файлов")},
        {14, QStringLiteral("FrPiople1"), QStringLiteral("Абоненты")},
    };
    if (screen < 0 || screen >= table.size()) return nullptr;
    return &table[screen];
}

const QList<int>& FrameScreens() {
    static const QList<int> order = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14};
    return order;
}

}  // namespace Screens
