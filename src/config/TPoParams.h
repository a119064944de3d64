#pragma once
// Section 0 of the security-post console file: two volumes, the day and night
// switching times, the panorama camera mask, the timeouts, the house/apartment
// separator, six analogue thresholds, two five-note call melodies and six
// 16-character display texts, held in one record of fixed-width bit texts that
// the write screen, the read screen and the editor share.
//
// Payload, from its first byte: klvl and clvl (one nibble each), mtdy and mtnt
// (12 bits each), mcam (2 bytes, the database text's last character in bit 0),
// ncam, scam, busy, blato, npce (2 bytes each), cbto .. adchh (a byte each),
// the notes of both melodies (note number in the low nibble, duration in the
// high one), the six texts in Windows-1251, character 1 first, then extra:
// 1080 bits and a length word of 136 when built from the database.

#include "config/ConfigRecords.h"
#include "config/EditorCell.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

constexpr int kPoNotes = 5;
constexpr int kPoTextChars = 16;
constexpr int kPoParamsFixedBits = 1080;
constexpr int kPoCameraItems = 16;
// Cameras of the console screen's list when t_global does not say (CamPO).
constexpr int kDefaultPoCameras = 8;

struct TPoNote {
    QString noot;  // 4 bits: the cell of the console's note picker
    QString leng;  // 4 bits: duration
};

// Every field but extra is a bit text of its fixed width, most significant bit
// first. mcam holds the field reversed (its first character is bit 0); a text
// holds 16 characters of 8 bits, character 1 first. A field a short section
// could not fill holds blanks, which read as 0.
struct TPoParams {
    QString klvl;                                      // 4
    QString clvl;                                      // 4
    QString mtdy;                                      // 12, minutes after midnight
    QString mtnt;                                      // 12
    QString mcam;                                      // 16, reversed
    QString ncam, scam;                                // 8
    QString busy, blato, npce;                         // 16, steps of 0.03 s
    QString cbto, rmto, dpto, exec, clha, cldp, talk;  // 8
    QString frmi, frmc;                                // 8
    QString adccl, adccm, adcch, adchl, adchm, adchh;  // 8
    std::array<TPoNote, kPoNotes> mel0;                // visitor call melody
    std::array<TPoNote, kPoNotes> mel1;                // subscriber call melody
    QString sobj1, sobj2, sus1, sus2, sus3, sus4;      // 128 each
    QString extra;  // payload bits in front of the known fields, kept for writing back
};

// The default first line of the object slide on a given day: "dd.MM.yyyy конф.".
QString PoDefaultObjectSlide(const QDate& day);

// Every fixed-width field blank, extra empty.
void InitPoParams(TPoParams& p);
// The record of a console from its row and melodies. A value wider than its
// field is capped at the field's largest value, a negative one is 0; a melody
// of more than five notes keeps its first five. Empty texts take their
// defaults; a text keeps its first 16 characters, and '?' stands for a
// character the file cannot carry. Each such change is told in the result log
// of logs when they are given.
void PoParamsFromDB(TPoParams& p, const ConsoleRow& console,
                    const std::optional<MelodyRow>& visitor,
                    const std::optional<MelodyRow>& subscriber, ConfigLogs* logs = nullptr);
// The payload text: extra, then the fields from sus4 back to klvl.
QString PoParamsToBits(const TPoParams& p);
// Decodes a section text (payload + version field); fields that do not fit
// keep their blanks, and bits in front of the known fields go to extra.
void PoParamsFromBits(const QString& sectionText, TPoParams& p);

// The write screen's section 0. An object without a console gets the empty
// section. A console row with NULL in a numeric column is told to the
// operator and gives false with an empty section: the console gets no file.
bool EncodePoSection0(const ConfigObjectRow& object, const ConsoleRow& console,
                      const std::optional<MelodyRow>& visitor,
                      const std::optional<MelodyRow>& subscriber, QString& section,
                      ConfigLogs& logs);
// The read screen's lines for a section 0 text.
QStringList DecodePoSection0(const QString& sectionText);

// ---- The editor's console tab ----------------------------------------------------

// One row of a melody grid: column 1 the duration, column 2 the note number.
struct PoNoteCells {
    QString leng;
    QString noot;
};

// What the console tab shows of section 0. Times are minutes after midnight;
// cameras holds the 16 items of the camera list, item 0 first, '1' ticked.
struct PoParamValues {
    qint64 klvl = 0, clvl = 0;
    qint64 mtdy = 0, mtnt = 0;
    QString cameras;
    qint64 ncam = 0, scam = 0, busy = 0, blato = 0, npce = 0;
    qint64 cbto = 0, rmto = 0, dpto = 0, exec = 0, clha = 0, cldp = 0, talk = 0, frmi = 0;
    QString frmc;  // the separator code as typed
    qint64 adccl = 0, adccm = 0, adcch = 0, adchl = 0, adchm = 0, adchh = 0;
    std::array<PoNoteCells, kPoNotes> visitor;
    std::array<PoNoteCells, kPoNotes> subscriber;
    QString sobj1, sobj2, sus1, sus2, sus3, sus4;
    // The six slides above, in their order, as the file held them: a slide
    // left as shown goes back with the file's bytes.
    std::array<FieldAsRead, 6> slidesAsRead;
    QString extra;
};

// The camera items of a mcam field the way the console screen numbers them:
// with cameraCount cameras the writer puts item k in bit cameraCount - 1 - k,
// so the editor does too; items from cameraCount on keep bits cameraCount..15,
// so no bit of the field is lost.
QString PoCameraItems(const QString& mcam, int cameraCount);
// The mcam field (reversed) of camera items, the inverse of PoCameraItems.
QString PoCameraField(const QString& items, int cameraCount);

// A slide shows its characters, a byte that shows nothing as a visible mark
// (FromCp1251Visible), padded with blanks to its 16 characters.
PoParamValues DecodePoParams(const QString& sectionText, int cameraCount = kDefaultPoCameras);
// Section 0 from the tab's values. A separator code or melody cell that is not
// a whole number refuses the save with error set. Values too wide for their
// field are capped. A slide as the open showed it keeps the file's bytes; an
// edited one that is empty takes its default, and one cut or holding a
// character the file cannot carry is told in log.
bool EncodePoParams(const PoParamValues& values, QString& section, QStringList* log, QString* error,
                    int cameraCount = kDefaultPoCameras);
