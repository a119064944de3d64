#pragma once
// The work screens' rules that need no window: the back/forward history, the
// checks a screen makes before it opens, and the object state sentence.

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// Screens opened so far and the current position. The position starts at 55,
// meaning nothing was opened yet.
class ScreenHistory {
  public:
    static constexpr quint16 kNothingOpened = 55;

    // Records a screen being opened and returns the new position, or the
    // current one when the screen is not new (it is the current entry).
    quint16 Push(int screen);
    // Moves one step; returns the screen to show there, or nothing at an end.
    std::optional<int> Back();
    std::optional<int> Forward();

    bool BackEnabled() const { return backEnabled_; }
    bool ForwardEnabled() const { return forwardEnabled_; }
    quint16 Index() const { return index_; }
    const QList<int>& Entries() const { return entries_; }
    void Clear();

  private:
    void setButtonsForPosition();

    QList<int> entries_;
    quint16 index_ = kNothingOpened;
    bool backEnabled_ = false;
    bool forwardEnabled_ = false;
};

namespace ScreenTexts {
inline const QString kRefused = QStringLiteral("ОШИБКА!");
inline const QString kNoObject = QStringLiteral("Введите данные хотя бы одного объекта!");
inline const QString kNoEntrance = QStringLiteral("Введите данные хотя бы одного подъезда!");
inline const QString kNoHouses = QStringLiteral("Нет домов. Невозможно создать подъезды!");
inline const QString kMatrixNotFormed =
    QStringLiteral("Матрица не сформирована. Невозможно создать подъезды!");
inline const QString kNoApartmentsForDevices = QStringLiteral(
    "Квартир нет, определите их кнопкой \"Сохранить квартиры для КМ\" в фрейме "
    "\"Распределение квартир в подъезде!\"");
inline const QString kMatrixNotReady =
    QStringLiteral("Матрица не готова к конфигурированию устройств!");
inline const QString kCreateSwitches = QStringLiteral("Коммутаторов нет. Создать их из матрицы?");
inline const QString kCreateCallPanels =
    QStringLiteral("Блоков вызова нет. Создать их из матрицы?");
inline const QString kMissingApartments = QStringLiteral("Не во всех подъездах имеются квартиры!");
inline const QString kEntranceWithoutApartments =
    QStringLiteral("Квартир нет, определите их кнопкой \"Сохранить квартиры для КМ\"!");
inline const QString kNumberingFailed =
    QStringLiteral("Проверка квартир не пройдена, сделайте пересчет и сохранение!");
inline const QString kCountsDiffer =
    QStringLiteral("Расхождение данных! Делайте пересчет квартир или подъездов!");
inline const QString kNoApartmentsForKeys =
    QStringLiteral("Для данного объекта не сформированы квартиры!");
inline const QString kNotReadyForFiles =
    QStringLiteral("Объект не готов к конфигурированию устройств!");
inline const QString kNoResidents =
    QStringLiteral("Квартир нет, определите их в фрейме \"Распределение квартир в подъезде\"!");
inline const QString kSaveMatrix = QStringLiteral("Сохранить матрицу?");
inline const QString kQuestion = QStringLiteral("Вопрос");
}  // namespace ScreenTexts

namespace ScreenRules {

// What the checks read of the current object.
struct ObjectFacts {
    bool listEmpty = true;
    bool hasHouses = false;      // Q_Dom has a row
    bool hasApartments = false;  // Q_kv has a row
    QString stNet;
    bool hasConsole = false;      // k_net.l_pok
    bool newObjectEntry = false;  // the object screen is entering a new object
    bool residentsEmpty = true;   // Q_Ppl has no row
    bool residentSearch = false;  // the residents screen is in a search
};

// A refused opening: the message to show, or none (empty text) for a silent one.
struct Refusal {
    QString caption;
    QString text;
    DlgIcon icon = DlgIcon::Error;
};

// The checks a screen makes before it records itself in the history, in the
// order it makes them; the first failing one, or nothing.
std::optional<Refusal> CheckBeforeOpening(int screen, const ObjectFacts& facts);

// Switch and call-panel screens, after the history entry: the matrix must be
// saved or closed.
std::optional<Refusal> CheckDevicesReady(const QString& stNet);

bool ReadyForDevices(const QString& stNet);  // "сохранено", "закрыто", "закр+сохр"
bool DevicesNeedSync(const QString& stNet);     // "сохранено", "закр+сохр"
bool MatrixNeedsRebuild(const QString& stNet);  // "сохранено", "закрыто"
// Characters 6 to 9 are "ввод": the matrix is being edited after a save.
bool MatrixBeingEdited(const QString& stNet);

// The object state sentence of the object screen.
QString MatrixStateSentence(const QString& stNet, bool hasSwitchRecords, bool hasApartments);

// A flag mask as the entrance screen keeps it: a null value or one that
// compares below "0" becomes PadLeft(ones, "0", 16) twice.
QString NormalisedFlagMask(const QVariant& stored, const QString& ones);

}  // namespace ScreenRules
