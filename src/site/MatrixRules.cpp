#include "site/MatrixRules.h"

#include "foundation/BitAndStr.h"
#include "foundation/SettingsFile.h"

namespace MatrixTexts {

QString NumberTooLarge(const QString& numberText, int maxDevice) {
    // The first letter is the Latin "C", as the system shows it.
    return QStringLiteral("Cетевой номер ") + numberText + QStringLiteral(" больше допустимого ") +
           QString::number(maxDevice - 1) + QStringLiteral("!");
}

QString NumberNotReadable(const QString& numberText, const QString& rowName) {
    return QStringLiteral("Сетевой номер \"") + numberText + QStringLiteral("\" в строке \"") +
           rowName.trimmed() + QStringLiteral("\" не является числом!");
}

}  // namespace MatrixTexts

namespace MatrixRules {

namespace {

const QString kBlankCell = QStringLiteral(" ");
const QString kNoKeys = QStringLiteral("--");
const QString kDoorSuffix = QStringLiteral(" вход");

bool IsEnter(QChar key) {
    return key == QLatin1Char('\r') || key == QLatin1Char('\n');
}

}  // namespace

// ---- rows ------------------------------------------------------------------

int HeaderRowOf(const QString& name) {
    if (name.isEmpty()) return -1;
    const QChar c = name.at(0);
    return c >= QLatin1Char('0') && c <= QLatin1Char('4') ? c.digitValue() : -1;
}

bool IsGateRow(const QString& name) {
    return name.size() >= 4 && name.at(3) == QChar(0x043A);  // "к"
}

bool IsPanelRow(const QString& name) {
    return name.startsWith(QStringLiteral("БВ"));
}

bool IsEntrancePanelRow(const QString& name) {
    return IsPanelRow(name) && !IsGateRow(name);
}

// ---- panel names -------------------------------------------------------------

QString EntrancePanelStem(const QString& prefix, int column, int door) {
    return prefix + IntToStrZ(column, 2) + QStringLiteral(". ") + IntToStrZ(door, 2);
}

QString EntrancePanelName(const QString& prefix, int column, int door) {
    return EntrancePanelStem(prefix, column, door) + kDoorSuffix;
}

QString GatePanelName(const QString& prefix, int gate) {
    return prefix + IntToStrZ(gate, 2);
}

QString MovePanelNameToColumn(const QString& name, int from, int to) {
    const QString old = IntToStrZ(from, 2) + QLatin1Char('.');
    const int at = name.indexOf(old);
    if (at < 0) return name;
    QString moved = name;
    moved.replace(at, 2, IntToStrZ(to, 2));
    return moved;
}

// ---- cells -------------------------------------------------------------------

bool NonBlank(const QString& cell) {
    return ComparesAbove(cell, kBlankCell);
}

LinkCode LinkOf(const QString& cell) {
    const QString c = cell.trimmed();
    if (!NonBlank(c)) return {0, std::nullopt};
    if (c == kNoKeys) return {2, 0};
    if (c.startsWith(QLatin1Char('-'))) return {3, std::nullopt};
    if (const std::optional<int> tract = CellNumber(c)) return {1, *tract};
    return {1, std::nullopt};
}

QString GateCellWithTract(const QString& cell, int tract) {
    const QString c = cell.trimmed();
    if (tract <= 0 || !NonBlank(c) || c == kNoKeys) return cell;
    const QString t = QString::number(tract);
    return c.startsWith(QLatin1Char('-')) ? QLatin1Char('-') + t + QLatin1Char('-') : t;
}

QString EntranceCellWithTract(const QString& cell, int tract) {
    const QString c = cell.trimmed();
    if (tract <= 0 || !NonBlank(c) || c == kNoKeys) return cell;
    return QString::number(tract);
}

QString GateCellCycled(const QString& cell, int tract) {
    const QString t = tract > 0 ? QString::number(tract) : QStringLiteral("+");
    const QString c = cell.trimmed();
    if (!NonBlank(c)) return t;
    if (c == kNoKeys) return QLatin1Char('-') + t + QLatin1Char('-');
    if (c == QLatin1Char('-') + t + QLatin1Char('-')) return QString();
    return kNoKeys;
}

QString GateCellClicked(const QString& cell) {
    const QString c = cell.trimmed();
    if (!NonBlank(c)) return QStringLiteral("+");
    if (c == QStringLiteral("+")) return kNoKeys;
    if (c == kNoKeys) return QStringLiteral("-+-");
    return QString();
}

// ---- typing ------------------------------------------------------------------

bool IsDigitKey(QChar key) {
    return key >= QLatin1Char('0') && key <= QLatin1Char('9');
}

bool IsSpaceOrEnter(QChar key) {
    return key == QLatin1Char(' ') || IsEnter(key);
}

bool AcceptedNameChar(QChar key) {
    const ushort u = key.unicode();
    return (u >= 32 && u <= 122) || u == 0x0451 /* ё */ || (u >= 0x0410 && u <= 0x044F);
}

std::optional<QString> TypedNumber(const QString& cell, QChar key) {
    if (!IsDigitKey(key)) return std::nullopt;
    // A cell that holds no number starts again from the digit.
    const std::optional<int> held = CellNumber(cell);
    const QString typed = (held ? QString::number(*held) : QString()) + key;
    QString digits = QString::number(typed.toInt());
    if (digits.size() > 2) digits.remove(0, 1);
    return IntToStrZ(digits.toInt(), 2);
}

std::optional<QString> TypedEntranceName(const QString& cell, QChar key) {
    if (!AcceptedNameChar(key)) return std::nullopt;
    const QString name = cell.trimmed() + key;
    return name.right(kEntranceNameWidth);
}

std::optional<QString> TypedPanelName(const QString& cell, QChar key) {
    if (!AcceptedNameChar(key)) return std::nullopt;
    return (cell + key).left(kPanelNameWidth);
}

std::optional<int> TypedDoorCount(int current, QChar key, int emax) {
    if (IsDigitKey(key)) return key.digitValue();
    if (IsSpaceOrEnter(key)) return emax > current ? current + 1 : 1;
    return std::nullopt;
}

// ---- numbers -----------------------------------------------------------------

std::optional<int> FreeNumber(int start, int limit, const QSet<int>& taken) {
    for (int n = qMax(start, 0); n < limit; ++n)
        if (!taken.contains(n)) return n;
    for (int n = 0; n < qMin(start, limit); ++n)
        if (!taken.contains(n)) return n;
    return std::nullopt;
}

std::optional<int> CellNumber(const QString& cell) {
    const QString c = cell.trimmed();
    if (c.isEmpty()) return std::nullopt;
    for (const QChar ch : c)
        if (!IsDigitKey(ch)) return std::nullopt;
    bool ok = false;
    const int n = c.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

std::optional<int> FindFreePanelNumber(const QList<QString>& sysNs, int maxDevice) {
    QSet<int> used;
    for (const QString& s : sysNs)
        if (const std::optional<int> n = CellNumber(s)) used.insert(*n);
    // Numbers from 1 upwards first; 0 only when everything above is in use.
    if (const std::optional<int> n = FreeNumber(1, maxDevice, used); n && *n > 0) return n;
    if (maxDevice > 0 && !used.contains(0)) return 0;
    return std::nullopt;
}

NumberCheck CheckCallBlockNumbers(const QList<MatrixRowNumbers>& rows, int maxDevice) {
    for (int i = 0; i < rows.size(); ++i) {
        if (!IsPanelRow(rows[i].name)) continue;
        const std::optional<int> n = CellNumber(rows[i].sysN);
        if (!n) return {'1', MatrixTexts::NumberNotReadable(rows[i].sysN, rows[i].name)};
        if (*n >= maxDevice) return {'1', MatrixTexts::NumberTooLarge(rows[i].sysN, maxDevice)};
        for (int j = i + 1; j < rows.size(); ++j)
            if (IsPanelRow(rows[j].name) && CellNumber(rows[j].sysN) == n) return {'2', {}};
    }
    return {};
}

NumberCheck CheckSwitchNumbers(const QString& rowName, const QList<QString>& cells, int maxDevice) {
    if (!rowName.startsWith(QStringLiteral("4 "))) return {};
    for (int i = 0; i < cells.size(); ++i) {
        const QString text = NonBlank(cells[i]) ? cells[i] : IntToStrZ(i + 1, 2);
        const std::optional<int> n = CellNumber(text);
        if (!n) return {'1', MatrixTexts::NumberNotReadable(text, rowName)};
        if (*n >= maxDevice) return {'1', MatrixTexts::NumberTooLarge(text, maxDevice)};
        for (int j = i + 1; j < cells.size(); ++j) {
            const QString later = NonBlank(cells[j]) ? cells[j] : QStringLiteral("0");
            if (CellNumber(later) == n) return {'2', {}};
        }
    }
    return {};
}

}  // namespace MatrixRules
