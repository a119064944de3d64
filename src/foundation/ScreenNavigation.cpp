#include "foundation/ScreenNavigation.h"

#include "foundation/BitAndStr.h"

#include <QVariant>

quint16 ScreenHistory::Push(int screen) {
    const int n = int(entries_.size());
    const int i = index_;
    const bool validPosition = i >= 0 && i < n;
    const bool isNew = i > n || (n > 0 && validPosition && entries_[i] != screen);
    if (!isNew) return index_;
    if (i < n - 1)
        entries_.resize(i + 2);
    else
        entries_.resize(n + 1);
    entries_.last() = screen;
    backEnabled_ = entries_.size() >= 2;
    forwardEnabled_ = false;
    index_ = quint16(entries_.size() - 1);
    return index_;
}

std::optional<int> ScreenHistory::Back() {
    if (index_ == 0 || index_ >= entries_.size()) return std::nullopt;
    --index_;
    setButtonsForPosition();
    return entries_[index_];
}

std::optional<int> ScreenHistory::Forward() {
    if (index_ + 1 >= entries_.size()) return std::nullopt;
    ++index_;
    setButtonsForPosition();
    return entries_[index_];
}

void ScreenHistory::setButtonsForPosition() {
    backEnabled_ = index_ > 0;
    forwardEnabled_ = index_ + 1 < entries_.size();
}

void ScreenHistory::Clear() {
    entries_.clear();
    index_ = kNothingOpened;
    backEnabled_ = forwardEnabled_ = false;
}

namespace ScreenRules {

namespace {

Refusal refused(const QString& text) {
    return {ScreenTexts::kRefused, text, DlgIcon::Error};
}
Refusal silent() {
    return {QString(), QString(), DlgIcon::None};
}
// The refusal's caption without its icon.
Refusal refusedWithoutIcon(const QString& text) {
    return {ScreenTexts::kRefused, text, DlgIcon::None};
}

bool isOneOf(const QString& s, std::initializer_list<const char*> texts) {
    for (const char* t : texts)
        if (s == QString::fromUtf8(t)) return true;
    return false;
}
}  // namespace

std::optional<Refusal> CheckBeforeOpening(int screen, const ObjectFacts& f) {
    switch (screen) {
        case 2:
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (f.listEmpty && !f.newObjectEntry) return refused(ScreenTexts::kNoObject);
            return std::nullopt;
        case 3:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoHouses);
            return std::nullopt;
        case 4:
        case 5:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (!f.hasApartments) return refusedWithoutIcon(ScreenTexts::kNoApartmentsForDevices);
            return std::nullopt;
        case 6:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            return std::nullopt;
        case 7:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (!f.hasConsole) return silent();
            return std::nullopt;
        case 8:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            return std::nullopt;
        case 9:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (!f.hasApartments) return refused(ScreenTexts::kNoApartmentsForKeys);
            return std::nullopt;
        case 10:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (!isOneOf(f.stNet, {"сохранено", "закрыто"}))
                return Refusal{QStringLiteral("Ошибка"), ScreenTexts::kNotReadyForFiles,
                               DlgIcon::Error};
            return std::nullopt;
        case 14:
            if (f.listEmpty) return refused(ScreenTexts::kNoObject);
            if (!f.hasHouses) return refused(ScreenTexts::kNoEntrance);
            if (f.residentsEmpty && !f.residentSearch)
                return Refusal{QString(), ScreenTexts::kNoResidents, DlgIcon::None};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<Refusal> CheckDevicesReady(const QString& stNet) {
    if (ReadyForDevices(stNet)) return std::nullopt;
    return refused(ScreenTexts::kMatrixNotReady);
}

bool ReadyForDevices(const QString& s) {
    return isOneOf(s, {"сохранено", "закрыто", "закр+сохр"});
}
bool DevicesNeedSync(const QString& s) {
    return isOneOf(s, {"сохранено", "закр+сохр"});
}
bool MatrixNeedsRebuild(const QString& s) {
    return isOneOf(s, {"сохранено", "закрыто"});
}
bool MatrixBeingEdited(const QString& s) {
    return s.mid(5, 4) == QStringLiteral("ввод");
}

QString MatrixStateSentence(const QString& stNet, bool hasSwitchRecords, bool hasApartments) {
    if (stNet == QStringLiteral("пусто")) return QStringLiteral("Создание ");
    if (stNet == QStringLiteral("сохранено")) {
        if (hasSwitchRecords)
            return QStringLiteral("Матрица сохранена при сформированных устройствах");
        return hasApartments ? QStringLiteral(
                                   "Матрица сохранена, квартиры созданы, устройсва не сформированы")
                             : QStringLiteral("Матрица сохранена, квартиры не созданы");
    }
    if (stNet == QStringLiteral("закрыто"))
        return QStringLiteral("Матрица в состоянии конфигурации устройств");
    if (stNet == QStringLiteral("создано"))
        return QStringLiteral("Матрица создана для проектирования домов");
    if (stNet == QStringLiteral("сохр+ввод"))
        return QStringLiteral("Матрица изменена после сохранения");
    if (stNet == QStringLiteral("закр+ввод"))
        return QStringLiteral("Матрица изменена после ввода устройств");
    if (stNet == QStringLiteral("закр+сохр"))
        return QStringLiteral("Матрица сохранена после ввода устройств");
    return QString();
}

QString NormalisedFlagMask(const QVariant& stored, const QString& ones) {
    const QString value = stored.isNull() ? QString() : stored.toString();
    if (!stored.isNull() && value.compare(QStringLiteral("0")) >= 0) return value;
    const QString half = PadLeft(ones, QLatin1Char('0'), 16);
    return half + half;
}

}  // namespace ScreenRules
