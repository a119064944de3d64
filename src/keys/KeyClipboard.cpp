#include "keys/KeyClipboard.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/ProgressSteps.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyNumber.h"
#include "keys/KeyRegister.h"
#include "keys/KeyRowWriter.h"
#include "platform/Dialogs.h"
#include "platform/TextClipboard.h"

#include <QDate>
#include <QSet>
#include <QSqlQuery>

namespace {

constexpr int kLongestText = 65535;  // a text this long or longer pastes nothing
constexpr int kShortestPiece = 5;    // a last piece this short is ignored
constexpr int kLongestNumber = 16;   // what un_key holds
constexpr int kLabelWidth = 50;      // what s_met holds
const QString kCrLf = QStringLiteral("\r\n");

bool isDigitOfKey(QChar c) {
    return c.unicode() < 128 && KeyNumber::IsHexDigit(c.toUpper());
}

bool endsLabel(QChar c) {
    return c == QChar(0) || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// The number of a run of digits, upper-cased, made in one piece: a run
// shorter than a full number keeps its first 6 digits, left-padded with '0'.
QString normalisedNumber(QStringView digits) {
    const QStringView kept =
        digits.size() < KeyNumber::kFullDigits ? digits.left(KeyNumber::kPanelDigits) : digits;
    const qsizetype width = qMax<qsizetype>(KeyNumber::kFullDigits, kept.size());
    QString number(width, QLatin1Char('0'));
    QChar* out = number.data() + (width - kept.size());
    for (QChar c : kept) *out++ = c.toUpper();
    return number;
}

// Characters 7 to 12 of a pasted number.
QStringView panelCode(QStringView number) {
    return number.mid(6, KeyNumber::kPanelDigits);
}

QString pasteStatus() {
    return KeyLabel::Dated(QStringLiteral("вставка "), QDate::currentDate());
}

}  // namespace

QString KeyClipboardText(const QString& number, const QString& label) {
    return number + QLatin1Char('\t') + label + kCrLf;
}

QString PastedPanelCode(const QString& number) {
    return panelCode(number).toString();
}

QList<PastedKey> ParsePastedKeys(const QString& text, bool withLabels) {
    QList<PastedKey> keys;
    const QStringView all(text);
    const qsizetype size = all.size();
    qsizetype pos = 0;
    // Each piece is read where it stands and copied once, when its key is taken.
    auto runWhile = [&](auto inRun) {
        const qsizetype from = pos;
        while (pos < size && inRun(all[pos])) ++pos;
        return all.sliced(from, pos - from);
    };
    while (size - pos > kShortestPiece && size - pos < kLongestText) {
        const QStringView digits = runWhile(isDigitOfKey);
        QStringView label;
        if (withLabels && pos < size && all[pos] == QLatin1Char('\t')) {
            ++pos;
            label = runWhile([](QChar c) { return !endsLabel(c); });
        }
        runWhile([](QChar c) { return !isDigitOfKey(c); });
        if (digits.isEmpty()) continue;  // text that starts with no digit holds no key
        if (digits.size() > kLongestNumber) continue;  // padding never shortens a run
        QString number = normalisedNumber(digits);
        if (KeyNumber::IsEmptySlot(number) || KeyNumber::IsEmptySlot(panelCode(number))) continue;
        keys.append(
            PastedKey{std::move(number), label.isEmpty() ? QString() : label.toString(), int(pos)});
    }
    return keys;
}

// ---------------------------------------------------------------- the operations

KeyClipboard::KeyClipboard(KeyRegister& keys, KeyListEditor& editor)
    : keys_(keys), editor_(editor) {}

bool KeyClipboard::CanPaste() const {
    return !copyBuffer_.isEmpty() || !Clipboard::Text().isEmpty();
}

KeyClipboard::Copied KeyClipboard::copyRows(const QList<int>& recNos,
                                            const std::function<void()>& step) const {
    Copied copied;
    const Dataset* list = keys_.KeyList();
    const int number = list->FieldIndex(QStringLiteral("un_key"));
    const int label = list->FieldIndex(QStringLiteral("s_met"));
    for (int recNo : recNos) {
        if (recNo < 1 || recNo > list->RecordCount()) continue;
        const QString un = list->Value(recNo - 1, number).toString();
        copied.buffer += KeyClipboardText(un, list->Value(recNo - 1, label).toString());
        copied.system += un + kCrLf;
        if (step) step();
    }
    return copied;
}

int KeyClipboard::Copy(const QList<int>& recNos, const ProgressFn& progress) {
    copyBuffer_.clear();
    ProgressSteps gauge(progress, int(recNos.size()));
    const Copied copied = copyRows(recNos, gauge.Stepper());
    copyBuffer_ = copied.buffer;
    if (!copied.system.isEmpty()) Clipboard::SetText(copied.system);
    return int(recNos.size());
}

int KeyClipboard::Cut(const QList<int>& recNos, const ProgressFn& progress) {
    const Copied copied = copyRows(recNos, {});
    const int count = editor_.DeleteSelectedKeys(recNos, progress);
    if (count < 0) return -1;
    copyBuffer_ = copied.buffer;
    if (!copied.system.isEmpty()) Clipboard::SetText(copied.system);
    return count;
}

PasteResult KeyClipboard::Paste(const ProgressFn& progress) {
    PasteResult result;
    if (!keys_.CurrentOwner()) {
        result.outcome =
            keys_.Mode() == KeyGroup::Gate ? PasteOutcome::NoGate : PasteOutcome::NoOwner;
        return result;
    }
    const bool fromBuffer = !copyBuffer_.isEmpty();
    const QString text = fromBuffer ? copyBuffer_ : Clipboard::Text();
    const QList<PastedKey> pasted = ParsePastedKeys(text, fromBuffer);
    const int base = keys_.KeyList()->RecordCount() + 1;
    {
        ProgressSteps gauge(progress, int(text.size()));
        result.pasted = insertKeys(pasted, base, [&gauge](int at) { gauge.MoveTo(at); });
    }
    if (result.pasted < 0) {
        result.outcome = PasteOutcome::Failed;
        result.pasted = 0;
        return result;
    }
    copyBuffer_.clear();
    keys_.MarkServingDevice();
    return result;
}

// Every key in one transaction. A row the file refuses is skipped, as a
// paste skips it; a failure of the file or the disk as a whole stops the
// paste, which is then undone and told with that failure's own reason. The
// number inserted, or -1 when the whole paste had to be undone.
int KeyClipboard::insertKeys(const QList<PastedKey>& keys, int base,
                             const std::function<void(int)>& at) {
    TFDM& dm = keys_.Data();
    const KeyOwner owner = *keys_.CurrentOwner();
    const QVariant idNet = dm.Q_Net->FieldByName(QStringLiteral("id_net")).Value();
    const int labelDigits = keys_.Options().labelDigits;
    const QString status = pasteStatus();
    QSet<QString> taken = keys_.CodesInScope();
    int inserted = 0;
    QString why;
    {
        SqlTransaction transaction(dm.ConnectionDB());
        KeyRowInserter insert(dm.ConnectionDB());
        if (!transaction.started()) why = transaction.LastError();
        if (why.isEmpty() && !insert.Prepared()) why = insert.DatabaseFailure();
        for (const PastedKey& key : keys) {
            if (!why.isEmpty()) break;
            at(key.end);
            const QString code = PastedPanelCode(key.number);
            if (taken.contains(code)) continue;
            const QString label = key.label.isEmpty() ? IntToStrZ(inserted + base, labelDigits)
                                                      : LeftChars(key.label, kLabelWidth);
            if (!insert.Insert(NewKeyRow{key.number, code, owner.idPod, owner.idKvr, owner.common,
                                         idNet, label, status})) {
                why = insert.DatabaseFailure();  // none: the row's own refusal, skipped
                continue;
            }
            taken.insert(code);
            ++inserted;
        }
        if (why.isEmpty() && inserted > 0) why = showPastedKeys();
        if (why.isEmpty() && transaction.Commit()) return inserted;
        if (why.isEmpty()) why = transaction.LastError();
    }
    dm.ReopenKeys();
    Dialogs::Message(QStringLiteral("Ошибка"), QStringLiteral("Ключи не вставлены.\n") + why,
                     DlgButtons::Ok, DlgIcon::Error);
    return -1;
}

// The list read again with the pasted keys and the owner's counters brought
// up to them; the reason when either fails.
QString KeyClipboard::showPastedKeys() {
    TFDM& dm = keys_.Data();
    if (!keys_.KeyList()->Reopen()) return keys_.KeyList()->LastError();
    dm.TakeCounterFailure();
    recountOwner();
    return dm.TakeCounterFailure();
}

// The owner's counters, as the data module keeps them after a post.
void KeyClipboard::recountOwner() {
    TFDM& dm = keys_.Data();
    if (keys_.Mode() == KeyGroup::Apartment || keys_.Mode() == KeyGroup::Ter)
        dm.QKeysCount();
    else
        dm.QOKeysCount();
}
