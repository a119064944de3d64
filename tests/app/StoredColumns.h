#pragma once
// Every column of the database's schema, integer and text, each with its
// role and what of the program reads it: the table the sweep of stored
// values runs over (StoredValueSweepTest). A column the schema gains and this
// table does not hold fails a test, so that the sweep never leaves one out.

#include <QList>
#include <QString>

enum class ColumnRole {
    Key,     // a row's id or a reference to one: joined and compared only
    Flag,    // 0 or 1, read as "non-zero is true"
    Count,   // sizes a loop, a list, a grid or a repeat
    Device,  // a field of a device's configuration file, of a width in bits
    Other,   // a number of its own: a state, a mode, a number shown
    // The text columns.
    Name,   // a name shown on screens: an object's, a house's, a melody's
    Slide,  // a console text written into the console's file, width characters a line
    Code,   // a code or a mask of digits a device file takes, of width characters
    Text,   // a text of its own: a date, a state, a serial number
};

// Whether the column holds a text.
bool IsText(ColumnRole role);

// What reads a column, as a set of bits: the files it goes into, and the
// screens and editors that compute with it (a count, a list's size, an
// arithmetic step), where a control that only shows the number is left to
// the files' sweep.
namespace Reads {
// The files of the write screen's pass, each opened in the editor after.
constexpr unsigned kSwitchFiles = 1u << 0;
constexpr unsigned kPanelFiles = 1u << 1;
constexpr unsigned kConsoleFile = 1u << 2;
constexpr unsigned kAllFiles = kSwitchFiles | kPanelFiles | kConsoleFile;
// Screens of the main window, by their numbers 1..14 (8 is a dialog), and
// its main menu as 0.
constexpr unsigned Screen(int n) {
    return 1u << (8 + n);
}
// The editors opened from the menu.
constexpr unsigned kSwitchEditor = 1u << 23;  // "Общие параметры и тракты КМ", its dialogs
constexpr unsigned kEntranceSwitch = 1u << 24;  // "Подъездные параметры для КМ и БВ"
constexpr unsigned kPanelEditor = 1u << 25;  // "Общие параметры БВ"
constexpr unsigned kApartmentEditor = 1u << 26;  // "Коды вызова квартир и трубки"
constexpr unsigned kGlobalForm = 1u << 27;  // "Глобальные переменные"
constexpr unsigned kStart = 1u << 28;       // read at the start only
constexpr unsigned kMelodyForm = 1u << 29;  // the melodies, from the switch editor
constexpr unsigned kFiles = kAllFiles;
constexpr unsigned kScreens = ~kFiles;
}  // namespace Reads

struct StoredColumn {
    const char* table;
    const char* column;
    ColumnRole role;
    // A device field's bits; a slide's or a code's characters in its file; 0
    // for the other roles.
    int width;
    qint64 most;  // the largest value the column means: a field's, a count's limit
    unsigned reads;
    // A device field holds least .. least + 2^width - 1 as they are (the
    // door-open time, held less one second, from 1); below least may be
    // the column's own "none" (a video tract below 1 is no video).
    qint64 least = 0;
    bool noneBelow = false;
    // Written alone, so that a value its field cannot hold is told; false
    // for a value written only with others (an apartment's day time with
    // its night time, a handset index with its switch).
    bool alone = true;

    QString Name() const;
};

// The table: the integer columns in the schema's order, then the text
// columns in the schema's order.
const QList<StoredColumn>& StoredColumns();
