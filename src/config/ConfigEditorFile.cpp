#include "config/ConfigEditorFile.h"

#include "config/ConfigImage.h"
#include "config/ConfigReadScreen.h"
#include "config/DayNightSection.h"
#include "config/EditorCodeCount.h"
#include "config/EditorValueChecks.h"
#include "config/NumberText.h"
#include "foundation/BitAndStr.h"
#include "foundation/ProgressSteps.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"

namespace {

constexpr int kPanelBase = 64;      // call panels are numbered from 64
constexpr int kConsoleNumber = 63;  // the device number of every console file
constexpr int kEditorFileVersion = 1;

const QString kEditorError = QStringLiteral("Ошибка");

// ---- loading ----

QList<MelodyCells> melodyCells(const QList<MelodyNoteRow>& notes) {
    QList<MelodyCells> cells;
    for (const MelodyNoteRow& n : notes) cells << MelodyCells{num(n.leng), num(n.gerc)};
    return cells;
}

void decodeSwitchSection(int n, const QString& text, EditorFile& f) {
    PkEditorValues& v = f.pk;
    switch (n) {
        case 0:
            v.params = DecodePkParams(text);
            break;
        case 2:
            v.tracts = DecodePkTract(text);
            f.warnings << v.tracts.warnings;
            break;
        case 3:
            // The video grid takes the callback grid's columns, blank until section 7.
            v.callback = DecodePkCallbackMask(text);
            v.video = QString(v.callback.size(), QLatin1Char(' '));
            break;
        case 4: {
            const PkMelodies m = DecodePkMelodies(text);
            v.callMelody = melodyCells(m.call);
            v.ringBackMelody = melodyCells(m.ringBack);
            if (!m.error.isEmpty()) f.warnings << m.error;
            break;
        }
        case 5:
            v.ranges = DecodePkHandsetRanges(text);
            break;
        case 6:
            v.blocking = DecodePkBlocking(text);
            if (v.callback.isEmpty()) v.video = QString(v.blocking.mask.size(), QLatin1Char(' '));
            break;
        default: {
            const PkVideo d = DecodePkVideo(text);
            if (d.input < 0) break;
            v.videoOn = true;
            v.videoInput = d.input;
            if (!d.mask.isEmpty()) v.video = d.mask;
            break;
        }
    }
}

// The call-code records to make for the apartments section 2 announced: no
// more than section 3 can hold codes (each takes a bit at least), so that a
// damaged count does not make millions of empty records.
int codeRecordCount(int announced, const QString& section3, QStringList& warnings) {
    if (announced <= section3.size()) return announced;
    warnings << QStringLiteral("Секция 2 объявляет ") + num(announced) +
                    QStringLiteral(
                        " квартир, секция 3 не может содержать столько кодов; показаны ") +
                    num(section3.size()) + QLatin1Char('.');
    return int(section3.size());
}

// Section 3 into the call-code records of the panel or console tab, one
// record per apartment section 2 announced.
template <class Values>
void unpackCodes(const QString& text, QStringList& warnings, Values& v) {
    const CallCodeUnpack u =
        UnpackCallCodes(codeRecordCount(v.entrances.apartmentTotal, text, warnings), text);
    v.records = u.records;
    v.codesRead = u.decoded;
    v.packed = u.packed;
    v.increment = u.incrementChar;
    v.codeError = u.error;
}

void decodePanelSection(int n, const QString& text, const ConfigScreenSettings& s, EditorFile& f) {
    BvEditorValues& v = f.bv;
    switch (n) {
        case 0:
            v.params = DecodeBvParams(text);
            break;
        case 2:
            v.entrances = DecodeBvEntranceMask(text, s.sepDevice);
            // The reserve bit of section 2 is the one section 0 carried too.
            if (v.entrances.hasReserveBit) v.params.ReservBv = v.entrances.reserveBit;
            if (!v.entrances.warning.isEmpty()) f.warnings << v.entrances.warning;
            break;
        case 3:
            unpackCodes(text, f.warnings, v);
            break;
        case 4:
            v.flags = DecodeFlagRecords(text, v.records);
            break;
        case 5:
            v.keys5 = DecodeBvKeys5(text);
            break;
        case 6:
            v.keys6 = DecodeBvKeys6(text);
            break;
        default:
            v.keys7 = DecodeBvKeys7(text);
            break;
    }
}

// A section 6 that ends before the handsets it announces: the grid shows the
// others blank, and a save wants them filled in.
void warnOfMissingHandsets(const PoHandsets& h, QStringList& warnings) {
    qsizetype read = 0;
    while (read < h.entries.size() && !h.entries[read].switchNo.isEmpty()) ++read;
    if (read == h.entries.size()) return;
    warnings << QStringLiteral("Секция 6 объявляет ") + num(h.count) +
                    QStringLiteral(" трубок ППО, а содержит ") + num(read) +
                    QStringLiteral(": остальные пусты, перед сохранением их нужно заполнить.");
}

void decodeConsoleSection(int n, const QString& text, const ConfigScreenSettings& s,
                          EditorFile& f) {
    PoEditorValues& v = f.po;
    switch (n) {
        case 0:
            v.params = DecodePoParams(text, s.cameraCount);
            break;
        case 2:
            v.entrances = DecodePoEntranceMask(text, s.sepDevice);
            f.warnings << v.entrances.warnings;
            break;
        case 3:
            unpackCodes(text, f.warnings, v);
            break;
        case 4:
            v.flags = DecodeFlagRecords(text, v.records);
            break;
        case 5:
            f.warnings << DecodePoCodeTimes(text, v.records);
            break;
        default:
            v.handsets = DecodePoSysAddr(text);
            warnOfMissingHandsets(v.handsets, f.warnings);
            break;
    }
}

// The values a tab shows for a file that lacks the section.
void blankValues(EditorFile& f, const ConfigScreenSettings& s) {
    f.pk = PkEditorValues();
    f.bv = BvEditorValues();
    f.bv.params = DecodeBvParams(QString());
    f.bv.entrances = DecodeBvEntranceMask(QString(), s.sepDevice);
    f.po = PoEditorValues();
    f.po.params = DecodePoParams(QString(), s.cameraCount);
    f.po.entrances = DecodePoEntranceMask(QString(), s.sepDevice);
    f.po.flags = DecodeFlagRecords(QString(), f.po.records);
}

// The last section the tab of a kind decodes; the ones after it are kept.
int lastDecodedSection(int kind) {
    return ConfigSectionCount(kind) - 1;
}

// ---- saving ----

bool inAddressRange(int kind, qint64 n, const ConfigScreenSettings& s) {
    switch (kind) {
        case kKindSwitch:
            return n >= 0 && n < s.maxDevice;
        case kKindConsole:
            return n == s.sepDevice || n == kConsoleNumber;
        case kKindCallPanel:
            return n >= kPanelBase && n < kPanelBase + s.maxDevice;
        default:
            return false;
    }
}

// The header of the kind: its class signature and file code follow the tab,
// whatever SepDevice is, and byte 0 is written as given.
QByteArray editorHeader(int kind, int deviceNo, quint8 byte0, qint64 idNom) {
    const int classBound = kind == kKindSwitch    ? deviceNo + 1
                           : kind == kKindConsole ? deviceNo
                                                  : deviceNo - 1;
    QByteArray header = BuildConfigHeaderBytes(deviceNo, idNom, classBound);
    header[0] = char(byte0);
    return header;
}

// Section 1 and the kept sections, framed again from their hexadecimal texts
// without their version byte.
QString keptSection(const QString& hex, int number, QStringList* log) {
    QString payload = HexToBin(hex);
    payload.chop(qMin<qsizetype>(8, payload.size()));
    return WrapSection(payload, number, kEditorFileVersion, log);
}

QString deviceLabel(int kind) {
    switch (kind) {
        case kKindCallPanel:
            return QStringLiteral(" БВ");
        case kKindConsole:
            return QStringLiteral(" ППО");
        default:
            return QStringLiteral(" КМ");
    }
}

int gaugeExtra(int kind) {
    switch (kind) {
        case kKindCallPanel:
            return 18;
        case kKindConsole:
            return 20;
        default:
            return 17;
    }
}

// Builds the sections of one file from the values of its tab.
class SectionBuilder {
  public:
    SectionBuilder(const EditorFile& f, const ConfigScreenSettings& s, EditorSaveResult& r)
        : f_(f), s_(s), log_(&r.memo2), result_(r) {}

    // False with error set when the values cannot be written.
    bool Build(int n, QString& text, QString& error) {
        if (n == 1) {
            text = keptSection(f_.identHex, 1, log_);
            return true;
        }
        switch (f_.kind) {
            case kKindConsole:
                return console(n, text, error);
            case kKindCallPanel:
                return panel(n, text, error);
            default:
                return switcher(n, text, error);
        }
    }

  private:
    bool switcher(int n, QString& text, QString& error) {
        const PkEditorValues& v = f_.pk;
        switch (n) {
            case 0:
                text = EncodePkParams(v.params, log_);
                return true;
            case 2:
                return EncodePkTract(v.tracts, s_.sepDevice, text, log_, &error);
            case 3:
                text = EncodePkCallbackMask(v.callback, v.videoOn, v.video, videoMask_, log_);
                return true;
            case 4:
                return EncodePkMelodies(v.callMelody, v.ringBackMelody, text, log_, &error);
            case 5:
                text = EncodePkHandsetRanges(log_);
                return true;
            case 6:
                text = EncodePkBlocking(v.blocking, log_);
                return true;
            default:
                text = EncodePkVideo(videoMask_, int(v.videoInput), log_);
                return true;
        }
    }

    bool panel(int n, QString& text, QString& error) {
        const BvEditorValues& v = f_.bv;
        switch (n) {
            case 0:
                return EncodeBvParams(v.params, text, log_, &error);
            case 2:
                return EncodeBvEntranceMask(v.entrances, v.params.ReservBv, s_.sepDevice, text,
                                            log_, &error);
            case 3:
                return callCodes(kCallCodesPanel, v.packed, v.increment, v.records,
                                 v.flags.dataMask, v.flags.defaultMask, text, error);
            case 4:
                text = codes_.section4;
                return true;
            case 5:
                text = EncodeBvKeys5(v.keys5, v.keys6, keyLogs_);
                break;
            case 6:
                text = EncodeBvKeys6(v.keys6, keyLogs_, leftoverKeys_);
                break;
            default:
                text = EncodeBvKeys7(v.keys7, leftoverKeys_, keyLogs_);
                break;
        }
        // The key sections log their sizes like the others and their slot counts in Memo4.
        result_.memo2 << keyLogs_.result;
        result_.memo4 << keyLogs_.detail;
        keyLogs_ = ConfigLogs();
        return true;
    }

    // Sections 3 and 4 in one pass: section 3 into text, section 4 kept for the next call.
    bool callCodes(int kind, bool packed, const QString& increment,
                   const QList<CallCodeRecord>& records, const QString& dataMask,
                   const QString& defaultMask, QString& text, QString& error) {
        if (!EncodeCallCodeSections(kind, packed, increment.toInt(), records, dataMask, defaultMask,
                                    codes_, log_)) {
            error = codes_.error;
            return false;
        }
        text = codes_.section3;
        return true;
    }

    bool console(int n, QString& text, QString& error) {
        const PoEditorValues& v = f_.po;
        switch (n) {
            case 0:
                return EncodePoParams(v.params, text, log_, &error, s_.cameraCount);
            case 2:
                text = EncodePoEntranceMask(v.entrances, s_.sepDevice, log_);
                return true;
            case 3:
                return callCodes(kCallCodesConsole, v.packed, v.increment, v.records,
                                 v.flags.dataMask, v.flags.defaultMask, text, error);
            case 4:
                text = codes_.section4;
                return true;
            case 5:
                text = EncodePoCodeTimes(codes_.poTimeMask, codes_.poTimeWords, log_);
                return true;
            default:
                return EncodePoSysAddr(v.handsets.entries, text, log_, &error);
        }
    }

    const EditorFile& f_;
    const ConfigScreenSettings& s_;
    QStringList* log_;
    EditorSaveResult& result_;
    QString videoMask_;         // section 3 builds it for section 7
    CallCodeSections codes_;    // section 3 builds section 4 and the times of 5
    ConfigLogs keyLogs_;        // the key sections' logs
    QStringList leftoverKeys_;  // section 6 hands its keys without an apartment to section 7
};

// Appends a section to the file unless its length word is wrong, which
// would make a device misread everything after it: then two zero bytes
// stand in its place.
void appendSection(int kind, int number, const QString& section, QByteArray& bytes,
                   QStringList& log) {
    qint64 size = 0, word = 0;
    const QString label = deviceLabel(kind);
    if (SectionLengthMatches(section, &size, &word)) {
        const QByteArray part = BitStringToBytes(section);
        bytes += part;
        log << QStringLiteral("Размер секции ") + num(number) + label + QStringLiteral(" := ") +
                   num(part.size());
        return;
    }
    bytes += QByteArray(2, '\0');
    log << QStringLiteral("Секция ") + num(number) + label +
               QStringLiteral(" не добавлена в файл из-за неверной длины. ") + num(size) +
               QLatin1Char(' ') + num(word);
    if (kind == kKindCallPanel) log << QStringLiteral("* Слияние секций в файл прекращено! *");
}

// A refused save: its status, what the operator is told when saving (nothing
// when error is empty), and the warning an open of the file gives.
void refuse(EditorSaveResult& r, EditorSaveStatus status, const QString& error,
            const QString& warning) {
    r.status = status;
    r.error = error;
    r.refusal = warning;
}

QString untilFixed(const QString& reason) {
    return QStringLiteral("Файл нельзя сохранить, пока не исправлено: ") + reason;
}

// The sections of the tab, within the size limit; false with the result set when not.
bool buildEditorSections(const EditorFile& f, const ConfigScreenSettings& s, ProgressSteps& steps,
                         QStringList& sections, qint64& running, EditorSaveResult& r) {
    SectionBuilder builder(f, s, r);
    for (int n = 0; n < ConfigSectionCount(f.kind); ++n) {
        QString text, error;
        if (!builder.Build(n, text, error)) {
            refuse(r, EditorSaveStatus::Refused, error, untilFixed(error));
            return false;
        }
        running += text.size();
        if (ConfigSizeExceeded(f.kind, running, &r.memo4)) {
            // The log says so; no box is shown.
            refuse(r, EditorSaveStatus::TooLarge, QString(),
                   untilFixed(QStringLiteral("Размер файла превышает допустимый на ") +
                              num(RoundDiv(running - ConfigSizeLimitBits(f.kind), 8)) +
                              QStringLiteral(" байт.")));
            return false;
        }
        sections << text;
        steps.Step();
    }
    return true;
}

// The kept sections after the tab's own, each skipped when it would take the
// file past its limit.
void appendKeptSections(const EditorFile& f, qint64& running, ProgressSteps& steps,
                        QByteArray& bytes, EditorSaveResult& r) {
    const qint64 limit = ConfigSizeLimitBits(f.kind);
    int number = ConfigSectionCount(f.kind);
    for (const QString& hex : f.keptHex) {
        const QString section = keptSection(hex, number, &r.memo2);
        if (running + section.size() > limit) {
            r.memo4 << QStringLiteral(
                           "Размер файла превышает допустимый при добавлении неизвестной "
                           "секции на ") +
                           num(RoundDiv(running + section.size() - limit, 8)) +
                           QStringLiteral(" байт");
        } else {
            running += section.size();
            appendSection(f.kind, number, section, bytes, r.memo4);
        }
        ++number;
        steps.Step();
    }
}

// Sections 2 and 3 written consistent (EditorCodeCount.h); false when
// section 2 announces more codes than a file can hold.
bool matchCodeCount(EditorFile& f, const ConfigScreenSettings& s, EditorSaveResult& r) {
    const CodeCountMatch match = MatchCodesToEntrances(f, s);
    if (match.result != CodeCountMatch::TooLarge) {
        r.codeCountNote = match.Text();
        return true;
    }
    refuse(r, EditorSaveStatus::TooLarge, match.Text() + QStringLiteral(" Файл не сохранен."),
           untilFixed(match.Text()));
    r.memo4 << r.error;
    return false;
}

// What the save changed to make sections 2 and 3 agree, told once the file is written.
void tellCodeCountNote(EditorSaveResult& r) {
    if (r.codeCountNote.isEmpty()) return;
    r.memo4 << r.codeCountNote;
    Dialogs::Message(QStringLiteral("ВНИМАНИЕ"), r.codeCountNote, DlgButtons::Ok, DlgIcon::Warning);
}

}  // namespace

int EditorKind(int jDev, qint64 section0Bits, const ConfigScreenSettings& s) {
    if (jDev < 0) return ConfigKindByLength(section0Bits, s.sizes);
    if (jDev < s.maxDevice) return kKindSwitch;
    // The write screen numbers the console file SepDevice; older files say 63.
    if (jDev == s.sepDevice || jDev == kConsoleNumber) return kKindConsole;
    // Call panels are numbered from 64; below that there is no device.
    if (jDev >= kPanelBase && jDev < kPanelBase + s.maxDevice) return kKindCallPanel;
    return kKindUnknown;
}

void ParseEditorImage(QString image, EditorFile& f, const ConfigScreenSettings& s) {
    blankValues(f, s);
    f.warnings.clear();
    f.ident.reset();
    f.identHex.clear();
    f.keptHex.clear();
    CheckConfigTrailer(image, f.trailerText);
    QString section0;
    const qint64 bits0 = TakeSection(image, section0);
    f.kind = EditorKind(f.jDev, bits0, s);
    if (f.kind == kKindUnknown) {
        Dialogs::Message(kEditorError, QStringLiteral("Неопределенный формат файла."),
                         DlgButtons::Ok, DlgIcon::Error);
        return;
    }
    QString text;
    if (TakeSection(image, text) > 0) {
        f.identHex = BinToHex(text);
        f.ident = DecodeIdentSection(text);
    }
    auto decode = [&](int n, const QString& t) {
        if (f.kind == kKindConsole)
            decodeConsoleSection(n, t, s, f);
        else if (f.kind == kKindCallPanel)
            decodePanelSection(n, t, s, f);
        else
            decodeSwitchSection(n, t, f);
    };
    if (bits0 > 0) decode(0, section0);
    for (int n = 2; n <= lastDecodedSection(f.kind); ++n)
        if (TakeSection(image, text) > 0) decode(n, text);
    if (const QString missing = MissingCodesWarning(f, s); !missing.isEmpty())
        f.warnings << missing;
    // Every further section is kept as it stands, empty ones too, so that
    // the saved file keeps their places.
    for (const ConfigSection& kept : TakeAllSections(image)) f.keptHex << BinToHex(kept.text);
    if (image != ConfigEndMark())
        f.warnings << QStringLiteral("После последней секции в файле ") + num(image.size() / 8) +
                          QStringLiteral(" байт, которые не будут сохранены.");
}

namespace {

EditorSaveResult buildFile(const EditorFile& opened, qint64 idNom, const ConfigScreenSettings& s,
                           const ProgressFn& gauge);

// What the save would refuse (a time past the end of a day, a melody of more
// notes than a file holds, sections past the size limit): the tabs show the
// file as it is, and the operator is told at once, not first when saving.
void warnOfWhatTheSaveRefuses(EditorFile& f, const ConfigScreenSettings& s) {
    const QString refusal = buildFile(f, 0, s, {}).refusal;
    if (!refusal.isEmpty()) f.warnings << refusal;
}

// A load: read gives the reader's status (from a file or from memory) and
// fills the producer and header lines; a file it read is decoded.
template <class Read>
EditorFile load(const QString& fileName, const ConfigScreenSettings& s, const Read& read) {
    EditorFile f;
    f.fileName = fileName;
    ConfigReadOutput out;
    f.status = read(out, f);
    if (f.status != ConfigReadStatus::Ok) {
        const QString why = ConfigReadErrorText(f.status, f.fileName);
        if (!why.isEmpty()) Dialogs::Message(kEditorError, why, DlgButtons::Ok, DlgIcon::Error);
        return f;
    }
    f.memo4 << ImageByteFields(out.image);
    f.jDev = out.deviceNumber;
    ParseEditorImage(out.image, f, s);
    if (f.Parsed()) warnOfWhatTheSaveRefuses(f, s);
    return f;
}

}  // namespace

EditorFile LoadEditorFile(const QString& fileName, const ConfigScreenSettings& s) {
    return load(fileName, s, [&](ConfigReadOutput& out, EditorFile& f) {
        return ReadConfigFile(fileName, out, &f.memo4, &f.title, s.sepDevice);
    });
}

EditorFile LoadEditorBytes(QByteArrayView bytes, const QString& fileName,
                           const ConfigScreenSettings& s) {
    return load(fileName, s, [&](ConfigReadOutput& out, EditorFile& f) {
        return ReadConfigBytes(bytes, out, &f.memo4, &f.title, s.sepDevice);
    });
}

bool EditorHeaderDevice(const EditorFile& f, const ConfigScreenSettings& s, int& deviceNo,
                        quint8& byte0) {
    if (f.jDev >= 0) {
        deviceNo = f.jDev;
        byte0 = f.title.isEmpty() ? quint8(f.jDev) : quint8(HexToInt(f.title.first()) & 0xFF);
        return true;
    }
    const qint64 n = f.ident ? f.ident->nNet : -1;
    if (!inAddressRange(f.kind, n, s)) return false;
    deviceNo = f.kind == kKindConsole ? kConsoleNumber : int(n);
    byte0 = quint8(deviceNo);
    return true;
}

namespace {

// The file the values make, or the refusal with nothing told: the save tells
// it, and an open warns of it.
EditorSaveResult buildFile(const EditorFile& opened, qint64 idNom, const ConfigScreenSettings& s,
                           const ProgressFn& gauge) {
    EditorSaveResult r;
    EditorFile f = opened;
    if (!matchCodeCount(f, s, r)) return r;
    r.fault = CheckEditorValues(f, s);
    if (r.fault) {
        refuse(r, EditorSaveStatus::BadCell, r.fault->message, untilFixed(r.fault->message));
        return r;
    }
    int deviceNo = 0;
    quint8 byte0 = 0;
    if (!EditorHeaderDevice(f, s, deviceNo, byte0)) {
        // Section 1, where the number is, is kept as read: no edit mends it.
        refuse(r, EditorSaveStatus::NoDevice,
               QStringLiteral("Не определен сетевой номер устройства. Сохранение отменено."),
               QStringLiteral("Файл нельзя сохранить: не определен сетевой номер устройства."));
        return r;
    }
    ProgressSteps steps(gauge, int(f.keptHex.size()) + 1 + gaugeExtra(f.kind));
    QStringList sections;
    qint64 running = 0;
    if (!buildEditorSections(f, s, steps, sections, running, r)) return r;

    QByteArray bytes = editorHeader(f.kind, deviceNo, byte0, idNom);
    if (f.kind == kKindCallPanel) r.memo4 << QStringLiteral("Слияние в файл");
    r.memo4 << QStringLiteral("Размер заголовка := ") + num(bytes.size());
    for (int n = 0; n < sections.size(); ++n) appendSection(f.kind, n, sections[n], bytes, r.memo4);
    appendKeptSections(f, running, steps, bytes, r);
    bytes += BitStringToBytes(ConfigEndMark());
    const qint64 fileBytes = bytes.size() - kConfigHeaderBytes;
    r.memo4 << QStringLiteral("Длина файла:=") + num(fileBytes);
    r.status = fileBytes * 8 > ConfigSizeLimitBits(f.kind) ? EditorSaveStatus::SavedOverLimit
                                                           : EditorSaveStatus::Saved;
    r.bytes = bytes;
    return r;
}

}  // namespace

EditorSaveResult BuildEditorFile(const EditorFile& opened, qint64 idNom,
                                 const ConfigScreenSettings& s, const ProgressFn& gauge) {
    if (!opened.Parsed()) return {};
    EditorSaveResult r = buildFile(opened, idNom, s, gauge);
    if (r.bytes.isEmpty() && !r.error.isEmpty())
        Dialogs::Message(kEditorError, r.error, DlgButtons::Ok, DlgIcon::Error);
    return r;
}

EditorSaveResult SaveEditorFile(const EditorFile& f, qint64 idNom, const ConfigScreenSettings& s,
                                const ProgressFn& gauge) {
    EditorSaveResult r = BuildEditorFile(f, idNom, s, gauge);
    if (r.bytes.isEmpty()) return r;
    QString why;
    if (!DurableFile::Write(f.fileName, r.bytes, &why)) {
        r.status = EditorSaveStatus::WriteFailed;
        r.error = WithReason(QStringLiteral("Файл ") + f.fileName + QStringLiteral(" не сохранен"), why);
        r.memo4 << r.error;
        r.bytes.clear();
        Dialogs::Message(kEditorError, r.error, DlgButtons::Ok, DlgIcon::Error);
        return r;
    }
    tellCodeCountNote(r);
    if (r.status == EditorSaveStatus::SavedOverLimit) {
        const qint64 excess =
            (r.bytes.size() - kConfigHeaderBytes) * 8 - ConfigSizeLimitBits(f.kind);
        r.memo4 << QStringLiteral("Превышение длины на ") + num(RoundDiv(excess, 8)) +
                       QStringLiteral(" байт!");
    } else {
        r.memo4 << QStringLiteral("Файл ") + f.fileName + QStringLiteral(" сохранен.");
    }
    return r;
}

int EntranceFirstRecord(const QList<int>& counts, int column) {
    int first = 0;
    for (int c = 1; c < column && c <= counts.size(); ++c) first += qMax(counts[c - 1], 0);
    return first;
}

RepeatedCode FindRepeatedCode(const QList<CallCodeRecord>& records, const QList<int>& counts,
                              int column, int index, const QString& code) {
    const QString typed = code.trimmed();
    if (typed.isEmpty() || column < 1 || column > counts.size()) return RepeatedCode::None;
    auto holds = [&](int col, int skip) {
        const int first = EntranceFirstRecord(counts, col);
        for (int i = 0; i < counts[col - 1]; ++i)
            if (i != skip && first + i < records.size() &&
                records[first + i].code.trimmed() == typed)
                return true;
        return false;
    };
    // The entrances before and after it are the nearest columns that have apartments.
    auto neighbour = [&](int step) {
        for (int c = column + step; c >= 1 && c <= counts.size(); c += step)
            if (counts[c - 1] > 0) return c;
        return 0;
    };
    if (holds(column, index)) return RepeatedCode::SameEntrance;
    if (const int before = neighbour(-1); before && holds(before, -1))
        return RepeatedCode::PreviousEntrance;
    if (const int after = neighbour(1); after && holds(after, -1))
        return RepeatedCode::NextEntrance;
    return RepeatedCode::None;
}

QString RepeatedCodeText(RepeatedCode repeat) {
    switch (repeat) {
        case RepeatedCode::SameEntrance:
            return QStringLiteral("Восстанавливаю код вызова из-за повторения!");
        case RepeatedCode::PreviousEntrance:
            return QStringLiteral(
                "Восстанавливаю код вызова из-за повторения в предыдущем подъезде!");
        case RepeatedCode::NextEntrance:
            return QStringLiteral(
                "Восстанавливаю код вызова из-за повторения в следующем подъезде!");
        default:
            return QString();
    }
}

QString EditorFlagText(const QString& typed, int carriedFlags) {
    QString t = typed.left(qMax(carriedFlags, 0));
    for (QChar& c : t)
        if (c != QLatin1Char('1')) c = QLatin1Char('0');
    return t;
}

bool EditorUnlocks(const QString& codeField) {
    return codeField == QStringLiteral("kQ39@.t");
}
