#include "site/Subscribers.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/TFDM.h"
#include "platform/Dataset.h"
#include "platform/Dialogs.h"
#include "site/ApartmentList.h"
#include "site/CallCodes.h"
#include "site/SiteData.h"

using namespace SubscriberTexts;

QString SubscriberFieldLabel(SubscriberField field, bool inForce) {
    static const char* const kLabels[] = {"Фамилия", "Имя", "Отчество", "Квартира №", "Код вызова"};
    const QString label = QString::fromUtf8(kLabels[static_cast<int>(field)]);
    return inForce ? label + QLatin1Char('*') : label;
}

SearchState NextSearchState(SearchState state, bool filterEmpty) {
    switch (state) {
        case SearchState::Editing:
            return SearchState::Entering;
        case SearchState::Entering:
            return filterEmpty ? SearchState::Editing : SearchState::Selected;
        case SearchState::Selected:
            return SearchState::Editing;
    }
    return SearchState::Editing;
}

QString SearchCaption(SearchState state) {
    switch (state) {
        case SearchState::Editing:
            return kStartSearch;
        case SearchState::Entering:
            return kConfirmSearch;
        case SearchState::Selected:
            return kEndSearch;
    }
    return kStartSearch;
}

QString SearchLabel(SearchState state) {
    return state == SearchState::Entering ? kEnteringSearch : kEditing;
}

int SubscriberKeyQuota(int typed, int keysHeld, int objectQuota) {
    int quota = typed;
    if (keysHeld >= typed) quota = keysHeld;
    if (keysHeld < objectQuota) {
        if (typed > 0 && typed < objectQuota) quota = objectQuota;
        if (typed <= 0) quota = 0;
    }
    return quota;
}

const QList<SubscriberColumn>& SubscriberColumns() {
    static const QList<SubscriberColumn> kColumns = {
        {QStringLiteral("house"), QStringLiteral("Дом")},
        {QStringLiteral("n_kvr"), QStringLiteral("Кв.№")},
        {QStringLiteral("Fam"), QStringLiteral("Фамилия")},
        {QStringLiteral("Nam"), QStringLiteral("Имя")},
        {QStringLiteral("Och"), QStringLiteral("Отчество")},
        {QStringLiteral("n_pod"), QStringLiteral("Подъезд №")},
        {QStringLiteral("p_kvr"), QStringLiteral("Код вв")},
        {QStringLiteral("p_nom"), QStringLiteral("п№кв")},
        {QStringLiteral("m_obr"), QStringLiteral("Обр.вв")},
        {QStringLiteral("l_otz"), QStringLiteral("Отзвонка")},
        {QStringLiteral("x_key"), QStringLiteral("План ключей")},
        {QStringLiteral("y_key"), QStringLiteral("Введено кл")},
        {QStringLiteral("l_pnp"), QStringLiteral("Перенаправление")},
        {QStringLiteral("l_trub"), QStringLiteral("Трубка")},
        {QStringLiteral("l_vid"), QStringLiteral("Видеопросмотр")},
        {QStringLiteral("m_blk"), QStringLiteral("Блокировка")},
        {QStringLiteral("kod_d"), QStringLiteral("Префикс дома")},
        {QStringLiteral("nm_pod"), QStringLiteral("Название под.")},
        {QStringLiteral("st_kvr"), QStringLiteral("Статус кв")},
        {QStringLiteral("call"), QStringLiteral("Прямой вв")},
    };
    return kColumns;
}

namespace {

const SubscriberColumn* columnOf(const QString& field) {
    for (const SubscriberColumn& c : SubscriberColumns())
        if (c.field == field) return &c;
    return nullptr;
}

// The column of the select a grid field comes from.
QString qualified(const QString& field) {
    static const QStringList kHouse = {QStringLiteral("house"), QStringLiteral("kod_d")};
    static const QStringList kEntrance = {QStringLiteral("n_pod"), QStringLiteral("nm_pod")};
    if (kHouse.contains(field)) return QStringLiteral("d.") + field;
    if (kEntrance.contains(field)) return QStringLiteral("p.") + field;
    return QStringLiteral("v.") + field;
}

}  // namespace

// ---------------------------------------------------------------- filter

QList<bool> SubscriberList::SetFilter(const SubscriberFilterTexts& texts) {
    static const char* const kColumns[] = {"v.Fam", "v.Nam", "v.Och", "v.n_kvr", "v.p_kvr"};
    const QString typed[] = {texts.fam, texts.nam, texts.och, texts.number, texts.code};
    filter_.clear();
    QList<bool> inForce;
    for (int f = 0; f < kSubscriberFields; ++f) {
        const QString prefix = typed[f].trimmed();
        inForce << !prefix.isEmpty();
        if (prefix.isEmpty()) continue;
        // A case-insensitive prefix, letter by letter, so that Cyrillic
        // letters match either case; the text is bound, never part of the SQL.
        // Letters are characters, as substr counts them: a character outside
        // the Basic Multilingual Plane is one letter, not two halves.
        Clause clause;
        QStringList letters;
        const QList<uint> characters = prefix.toUcs4();
        for (int i = 0; i < characters.size(); ++i) {
            const QString column = QString::fromLatin1(kColumns[f]);
            const QString at = QStringLiteral("substr(%1,%2,1)").arg(column).arg(i + 1);
            const QString name = QStringLiteral("flt%1_%2").arg(f).arg(i);
            const char32_t character = characters[i];
            const QString letter = QString::fromUcs4(&character, 1);
            const QString lower = letter.toLower();
            const QString upper = letter.toUpper();
            clause.params.append({name + QStringLiteral("a"), lower});
            if (lower == upper) {
                letters << at + QStringLiteral("=:") + name + QStringLiteral("a");
            } else {
                clause.params.append({name + QStringLiteral("b"), upper});
                letters << at + QStringLiteral(" IN (:") + name + QStringLiteral("a, :") + name +
                               QStringLiteral("b)");
            }
        }
        clause.condition = QStringLiteral(" AND ") + letters.join(QStringLiteral(" AND "));
        filter_ << clause;
    }
    return inForce;
}

void SubscriberList::ClearFilter() {
    filter_.clear();
}

// ---------------------------------------------------------------- sorting

void SubscriberList::CycleSort(const QString& field) {
    const SubscriberColumn* column = columnOf(field);
    if (!column) return;
    const QString descending = field + kDescendingItem;
    int at = int(sortItems_.indexOf(field));
    if (at >= 0) {
        sortItems_[at] = descending;
        sortView_[at] = column->title + kDescending;
        return;
    }
    at = int(sortItems_.indexOf(descending));
    if (at >= 0) {
        sortItems_.removeAt(at);
        sortView_.removeAt(at);
        return;
    }
    sortItems_ << field;
    sortView_ << column->title + kAscending;
}

void SubscriberList::ApplySort() {
    if (sortItems_.isEmpty()) return;
    order_.clear();
    for (const QString& item : std::as_const(sortItems_)) {
        const bool desc = item.endsWith(kDescendingItem);
        const QString field = desc ? item.left(item.size() - kDescendingItem.size()) : item;
        order_ << qualified(field) + (desc ? kDescendingItem : QString());
    }
}

void SubscriberList::ClearSort() {
    sortItems_.clear();
    sortView_.clear();
    order_.clear();
}

// ---------------------------------------------------------------- the query

QString SubscriberList::Tail() const {
    QString tail = kWhere;
    for (const Clause& c : filter_) tail += c.condition;
    if (!order_.isEmpty()) tail += QStringLiteral(" ORDER BY ") + order_.join(QStringLiteral(", "));
    return tail;
}

bool SubscriberList::Requery(Dataset* ds, qint64 keepIdKvr) const {
    if (!ds) return false;
    ds->SetSelect({{QStringLiteral("v"), QStringLiteral("k_kvr")},
                   {QStringLiteral("d"), QStringLiteral("k_dom")},
                   {QStringLiteral("p"), QStringLiteral("k_pod")}},
                  Tail(), QStringLiteral("v"));
    for (const Clause& c : filter_)
        for (const auto& [name, value] : c.params) ds->SetParam(name, value);
    if (!ds->Open()) return false;
    if (keepIdKvr != 0) ds->Locate(QStringLiteral("id_kvr"), keepIdKvr);
    return true;
}

// ---------------------------------------------------------------- saving

namespace {

// The devices a resident's row change marks.
DeviceMarks subscriberMarks(const StoredApartment& s, const ApartmentValues& v) {
    const ApartmentValues& was = s.values;
    DeviceMarks marks;
    marks.switchMark =
        was.callBack != v.callBack || was.video != v.video || was.blocked != v.blocked;
    marks.panels = was.ringBack != v.ringBack || was.call != v.call ||
                   was.code != v.code.trimmed() || (!s.keys.isNull() && was.keys != v.keys);
    marks.console = was.redirect != v.redirect || TimesChanged(s, v);
    return marks;
}

}  // namespace

SubscriberSaveOutcome StoreSubscriber(qint64 idKvr, const ApartmentValues& v,
                                      const HeldRows& shown) {
    SubscriberSaveOutcome out;
    if (!FDM || idKvr == 0) return out;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    StoredApartment stored;
    const QString code = StoredText(v.code);
    bool held = false;
    if (!ReadApartment(q, idKvr, &stored, &error)) {
        SiteData::ShowFailure(QStringLiteral("Изменения не сохранены."), error);
        return out;
    }
    // An empty code is accepted; any other must be free in the house, among
    // handsets too.
    if (!code.isEmpty() && code != stored.values.code.trimmed()) {
        if (!CallCodes::IsCodeText(code)) {
            Dialogs::Message(ApartmentRowTexts::kError, CallCodeTexts::kBadCode, DlgButtons::Ok,
                             DlgIcon::Error);
            out.codeTaken = true;
            return out;
        }
        if (!CallCodes::HeldInHouse(q, stored.idDom, code, false, &held, &error)) {
            SiteData::ShowFailure(QStringLiteral("Изменения не сохранены."), error);
            return out;
        }
        if (held) {
            Dialogs::Message(ApartmentRowTexts::kError, ApartmentRowTexts::kCodeTaken,
                             DlgButtons::Ok, DlgIcon::Error);
            out.codeTaken = true;
            return out;
        }
    }
    const DeviceMarks marks = subscriberMarks(stored, v);
    out.saved = SiteData::WriteInOneTransaction(
        shown, QStringLiteral("Изменения не сохранены."), [&](QString* e) {
            return ExecBound(
                       q,
                       QStringLiteral(
                           "UPDATE k_kvr SET Fam=?, Nam=?, Och=?, m_obr=?, l_otz=?, "
                           "l_vid=?, m_blk=?, l_pnp=?, call=?, n_kvr=?, p_kvr=?, x_key=?, "
                           "mtdy=?, mtnt=? WHERE id_kvr=?"),
                       {LeftChars(NameCase(v.fam), ApartmentRowLimits::kNameWidth),
                        LeftChars(NameCase(v.nam), ApartmentRowLimits::kNameWidth),
                        LeftChars(NameCase(v.och), ApartmentRowLimits::kNameWidth), int(v.callBack),
                        int(v.ringBack), int(v.video), int(v.blocked), int(v.redirect), int(v.call),
                        LeftChars(StoredText(v.number), ApartmentWidths::kNumber), code, v.keys,
                        StoredTime(v.followsConsole, v.dayMinutes),
                        StoredTime(v.followsConsole, v.nightMinutes), idKvr},
                       e) &&
                   DeviceMarking::ApplyAfterRowSave(q, stored.idNet, stored.idPod, marks, e);
        });
    return out;
}
