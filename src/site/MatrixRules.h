#pragma once
// The access matrix's rules that need neither a grid nor the database: what
// a row is by its name, the names of call panels, what a cell says and how it
// changes when the operator clicks or types, the search for free network
// numbers and the checks of the numbers before a save.
//
// A matrix row is named by its header text ("0      подъезд по порядку" ...
// "4      сетевой номер КМ") or by its call panel's name. A switch column holds
// one entrance's cells; its number is the column's two digits in "pk_NN".

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace MatrixTexts {
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kErrorExcl = QStringLiteral("Ошибка!");
inline const QString kTooManyPanelsCaption = QStringLiteral("Убавьте количество");
// Two blanks before "максимально", as the system writes it.
inline const QString kTooManyPanels =
    QStringLiteral("Количество блоков вызова не может превышать  максимально допустимое!");
inline const QString kPanelNumberRepeated =
    QStringLiteral("Повторение сетевого номера блока вызова!");
inline const QString kSwitchNumberRepeated =
    QStringLiteral("Повторение сетевого номера коммутатора!");
inline const QString kNothingSaved = QStringLiteral("Сохранение не производилось!");
inline const QString kMatrixOpenFailed = QStringLiteral("Ошибка открытия матрицы!");
inline const QString kAddGateCaption = QStringLiteral("Ответьте на вопрос");
inline const QString kAddGate = QStringLiteral("Добавить калитку в объект?");
inline const QString kRenumberPanelsCaption = QStringLiteral("Изменить нумерацию блоков вызова");
inline const QString kRenumberPanels =
    QStringLiteral("Упорядочить сетевые адреса блоков вызова (БВ)? Укажите адрес Начального БВ: ");
inline const QString kRenumberSwitchesCaption =
    QStringLiteral("Изменить нумерацию подъездных коммутаторов");
inline const QString kRenumberSwitches =
    QStringLiteral("Упорядочить сетевые адреса коммутаторов (КМ)? Укажите адрес начального КМ: ");
inline const QString kGridHint = QStringLiteral(
    "Двойным щелчком на ячейках таблицы изменяются ее данные, если позволено. Можно "
    "использовать клавиши: пробел, Enter и 0,1...9.");
// "Cетевой номер NN больше допустимого MM!", the first letter a Latin "C".
QString NumberTooLarge(const QString& numberText, int maxDevice);
// A number cell that holds no number at all (a table from an older file).
QString NumberNotReadable(const QString& numberText, const QString& rowName);
}  // namespace MatrixTexts

namespace MatrixRules {

// ---- rows ------------------------------------------------------------------

// Header rows 0..4 by the first character of the name; -1 for other rows.
int HeaderRowOf(const QString& name);
// Gate rows carry "к" as the fourth character ("БВ калитки 01").
bool IsGateRow(const QString& name);
// Call-panel rows begin with "БВ".
bool IsPanelRow(const QString& name);
// A panel row that is not a gate row: one door of an entrance.
bool IsEntrancePanelRow(const QString& name);

// ---- panel names -------------------------------------------------------------

// Entrance panel: prefix (with its blank), column as two digits, ". ", door
// as two digits, " вход".
QString EntrancePanelName(const QString& prefix, int column, int door);
// The same without " вход": what the save looks rows up by.
QString EntrancePanelStem(const QString& prefix, int column, int door);
// Gate panel: prefix (with its blank) and the gate number as two digits.
QString GatePanelName(const QString& prefix, int gate);
// An entrance panel moved from column from to column to: the first "NN."
// of the old column becomes the new column's digits.
QString MovePanelNameToColumn(const QString& name, int from, int to);

// ---- cells -------------------------------------------------------------------

// A cell counts as non-blank when its text compares above " ".
bool NonBlank(const QString& cell);

// What the save makes of a cell: the link code m_bv.plus and, when the cell
// fixes it, the tract (a tract number sets it, "--" clears it).
struct LinkCode {
    int plus = 0;
    std::optional<int> tract;
};
LinkCode LinkOf(const QString& cell);

// A gate cell with a stored tract shows the tract: "-"+tract+"-" where it
// began with "-", else the tract alone. Cells that are blank or "--", and
// links without a tract, stay as they are.
QString GateCellWithTract(const QString& cell, int tract);
// An entrance panel's cell with a stored tract shows the tract alone.
QString EntranceCellWithTract(const QString& cell, int tract);

// Double click, space or Enter on a gate cell; tract is the link's stored
// tract (0 none). Without a tract: "", "+", "--", "-+-", "".
QString GateCellCycled(const QString& cell, int tract);
// "Клик для калитки": the text written into the column and every later one.
QString GateCellClicked(const QString& cell);

// ---- typing ------------------------------------------------------------------

bool IsDigitKey(QChar key);
bool IsSpaceOrEnter(QChar key);
// Characters a name takes: codes 32 to 122, "ё" and the Cyrillic А to я.
bool AcceptedNameChar(QChar key);

// A digit typed into a number cell (a panel's sys_n, a switch's row "4"):
// the last two digits typed form the number, written as two digits. Other
// keys leave the cell alone (no value).
std::optional<QString> TypedNumber(const QString& cell, QChar key);
// A character typed into an entrance name (row "0"): the last 5 are kept.
std::optional<QString> TypedEntranceName(const QString& cell, QChar key);
// A character typed into a panel's display name: the first 25 are kept.
std::optional<QString> TypedPanelName(const QString& cell, QChar key);
constexpr int kEntranceNameWidth = 5;
constexpr int kPanelNameWidth = 25;

// The door count a key asks for on row "3": a digit gives itself; space or
// Enter one more while emax is above the current count, else 1. Other keys
// ask for nothing.
std::optional<int> TypedDoorCount(int current, QChar key, int emax);

// ---- numbers -----------------------------------------------------------------

// The first number from start up to limit - 1 that is not taken, else the
// first one from 0 up to start - 1. Nothing when every number below limit is
// taken.
std::optional<int> FreeNumber(int start, int limit, const QSet<int>& taken);

// The number a cell holds ("05" gives 5); nothing when it is not a number.
std::optional<int> CellNumber(const QString& cell);

// The lowest panel number 1..maxDevice-1 no row has, else 0 when 0 is free;
// nothing when every number is in use. sysNs: the sys_n of every row.
std::optional<int> FindFreePanelNumber(const QList<QString>& sysNs, int maxDevice);

// Result of a number check: '0' all right, '1' a number too large (or no
// number; message says which), '2' a repeat.
struct NumberCheck {
    char result = '0';
    QString message;
};

struct MatrixRowNumbers {
    QString name;
    QString sysN;
};
// Panel numbers of the rows (in matrix order): each below maxDevice and
// unlike every later panel's.
NumberCheck CheckCallBlockNumbers(const QList<MatrixRowNumbers>& rows, int maxDevice);
// Switch numbers of row "4" (rowName, cells of columns 1..n): an empty cell
// counts as its column number, an empty later cell as "0" when compared. A
// row that is not row "4" passes.
NumberCheck CheckSwitchNumbers(const QString& rowName, const QList<QString>& cells, int maxDevice);

}  // namespace MatrixRules
