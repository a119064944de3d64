#pragma once
// The configuration-file editor's work without its window. A file is loaded
// into the values its tab shows (the section decoders of its kind fill them),
// the sections it does not show are kept as hexadecimal texts, and a save
// builds the file again from the values: the header, sections 0 and 2 to 7
// (the console's 0 to 6) from the values, section 1 and the kept sections
// from their texts, each checked against the kind's size limit, then written
// in one piece under a temporary name and renamed over the file.

#include "config/CallCodeSection.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigScreenSettings.h"
#include "config/ConsoleSections.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/SwitchSections.h"
#include "config/TBvParams.h"
#include "config/TPkParams.h"
#include "config/TPoParams.h"
#include "foundation/TFDM.h"  // ProgressFn

#include <QString>
#include <QStringList>

#include <optional>

// The editor's kind of a file: by the header's device number (below
// MaxDevice a switch, SepDevice or 63 the console, from 64 below MaxDevice + 64 a call
// panel, any other number unknown) or, without a header, by the length of
// section 0.
int EditorKind(int jDev, qint64 section0Bits, const ConfigScreenSettings& settings);

// ---- The values of each tab --------------------------------------------------

// The switch tab. Masks hold one character per grid column, apartment 1
// first; a blank cell is ' '.
struct PkEditorValues {
    PkParamValues params;               // section 0
    PkTractGrid tracts;                 // section 2: TractDev
    QString callback;                   // section 3: MObr row 1
    QList<MelodyCells> callMelody;      // section 4: MelVv
    QList<MelodyCells> ringBackMelody;  //            MelOt
    PkHandsetRanges ranges;             // section 5: DiapTrub, shown only
    PkBlocking blocking;                // section 6: PTTO .. DET, MBlock row 1
    bool videoOn = false;               // section 7: ChVideo
    qint64 videoInput = 1;              //            E_Video
    QString video;                      //            MVideo row 1
};

// The call-panel tab.
struct BvEditorValues {
    BvParamsValues params;          // section 0; ReservBv is also section 2's reserve bit
    BvEntranceGrid entrances;       // section 2: MsPod, Mpd, Mpp
    bool packed = false;            // section 3: FArc
    QString increment;              //            EInc
    QString codeError;              //            LError
    int codesRead = 0;              //            codes the file's section 3 held
    QList<CallCodeRecord> records;  // sections 3 and 4: codes and flag groups (KodBv)
    FlagSectionValues flags;        // section 4: Mask, MVal
    Keys5List keys5;                // sections 5 to 7: Keys5, Keys6, Keys7
    Keys6List keys6;
    Keys7List keys7;
};

// The console tab.
struct PoEditorValues {
    PoParamValues params;           // section 0
    PoEntranceGrid entrances;       // section 2: MPod, MCbv, ReservPO
    bool packed = false;            // section 3: FarcPO
    QString increment;              //            LInc
    QString codeError;              //            LError
    int codesRead = 0;              //            codes the file's section 3 held
    QList<CallCodeRecord> records;  // sections 3 to 5: codes, flag groups, times (KodVv)
    FlagSectionValues flags;        // section 4: MFlag, MZn
    PoHandsets handsets;            // section 6: KolAdr, SysAdr
};

// ---- Loading -----------------------------------------------------------------

struct EditorFile {
    ConfigReadStatus status = ConfigReadStatus::Ok;
    QString fileName;
    int jDev = -1;            // the header's device number, -1 without a header
    int kind = kKindUnknown;  // unknown also when the file could not be read
    QStringList title;        // MemoTitle: the header bytes, one two-digit hexadecimal text a line
    QStringList memo4;        // the producer lines, then the image 8 bits a line
    QString trailerText;      // L_Izmen: what the date word says
    // Section 1: decoded, and kept as the first line of the hidden memo
    // (MKmN, MBvN, MPoN); empty when the file had none.
    std::optional<ConfigIdent> ident;
    QString identHex;
    QStringList keptHex;   // the sections after the last one the tab shows, in file order
    QStringList warnings;  // what the decoders could not show
    PkEditorValues pk;
    BvEditorValues bv;
    PoEditorValues po;

    bool Parsed() const { return status == ConfigReadStatus::Ok && kind != kKindUnknown; }
};

// Reads and decodes a file. A file that cannot be read or is too large, and
// one of unknown kind, are told to the operator; Parsed() is false then. A
// file whose values a save would refuse opens with a warning that says why.
EditorFile LoadEditorFile(const QString& fileName, const ConfigScreenSettings& settings);
// The same on the bytes of a file already in memory, named fileName.
EditorFile LoadEditorBytes(QByteArrayView bytes, const QString& fileName,
                           const ConfigScreenSettings& settings);
// The decoding alone, on an image as ReadConfigFile left it (date word at its
// end): the warnings of what the decoders could not show, none of the save.
void ParseEditorImage(QString image, EditorFile& file, const ConfigScreenSettings& settings);

// ---- Saving ------------------------------------------------------------------

// The device number the saved header carries and the byte 0 it is written
// with: with a header, its number and byte 0 as it was read (the top bit
// kept); without one, the network number of section 1 when it lies in the
// kind's addresses. False when neither gives a number.
bool EditorHeaderDevice(const EditorFile& file, const ConfigScreenSettings& settings, int& deviceNo,
                        quint8& byte0);

// A grid cell or edit whose text cannot be written; nothing is saved then.
struct EditorCellFault {
    QString control;  // the design name of the grid or edit
    int column = 0;   // grid coordinates, the fixed title row and column being 0
    int row = 0;
    int record = -1;   // for the call-code grids: the index of the call-code record...
    int entrance = 0;  // ...and the column of its entrance in the entrance grid
    QString message;   // the operator's text, naming the table and the cell
};

enum class EditorSaveStatus {
    Saved,           // the file was built (and written, by SaveEditorFile)
    SavedOverLimit,  // the same, but the end mark took it past the limit
    BadCell,         // a value cannot be written (fault says which); nothing written
    NoDevice,        // no device number for the header; nothing written
    Refused,         // a section could not be built (error says why); nothing written
    TooLarge,        // the sections passed the size limit; nothing written
    WriteFailed,     // the disk refused the file; the old one is untouched
};

struct EditorSaveResult {
    EditorSaveStatus status = EditorSaveStatus::Refused;
    QStringList memo4;  // the save's log
    QStringList memo2;  // the size lines of the sections
    std::optional<EditorCellFault> fault;
    QString error;  // what the operator was told of a refusal
    // A refusal as the editor warns of it when it opens the file.
    QString refusal;
    // What the save changed so that sections 2 and 3 agree (EditorCodeCount.h).
    QString codeCountNote;
    QByteArray bytes;  // the file as built; empty when it was not written
};

// Builds the file from the values: status Saved (or SavedOverLimit when the
// end mark takes it past the limit) with its bytes, or a refusal without
// bytes. The header carries idNom (the current object's). The call codes are
// written as many as section 2 announces apartments. Every refusal is told
// to the operator; gauge steps once a section and is hidden on every way out.
EditorSaveResult BuildEditorFile(const EditorFile& file, qint64 idNom,
                                 const ConfigScreenSettings& settings,
                                 const ProgressFn& gauge = {});
// Builds the file and writes it over file.fileName in one piece; then tells
// the operator when the call codes had to be brought to section 2's count.
EditorSaveResult SaveEditorFile(const EditorFile& file, qint64 idNom,
                                const ConfigScreenSettings& settings, const ProgressFn& gauge = {});

// ---- Call codes --------------------------------------------------------------

// Where an entrance's codes begin in the call-code records: after the
// apartments of every entrance column before it. counts: the apartment count
// of each entrance column, column 1 first.
int EntranceFirstRecord(const QList<int>& counts, int column);

enum class RepeatedCode { None, SameEntrance, PreviousEntrance, NextEntrance };
// Whether code, typed for record index within the entrance of column, stands
// already in that entrance, the entrance before it or the one after it.
RepeatedCode FindRepeatedCode(const QList<CallCodeRecord>& records, const QList<int>& counts,
                              int column, int index, const QString& code);
// "Восстанавливаю код вызова из-за повторения..." for a repeat.
QString RepeatedCodeText(RepeatedCode repeat);

// A typed flag text: cut to the number of carried flags, every character but
// '1' made '0'.
QString EditorFlagText(const QString& typed, int carriedFlags);

// The access code that unlocks the protected panels, as for the devices'
// hardware dialogs.
bool EditorUnlocks(const QString& codeField);
