#include "site/ui/TFrKvr.h"

#include "foundation/BitAndStr.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/ElidedLabel.h"
#include "platform/ui/EnterKey.h"
#include "platform/ui/NamedWidget.h"
#include "site/CallCodes.h"
#include "site/RowOrigin.h"
#include "site/SiteData.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

TFrKvr* g_frKvr = nullptr;

constexpr int kMaxPerFloor = 500;

struct KvrListColumn {
    const char* field;
    const char* title;
    bool editable;
    bool check;
};
const KvrListColumn kApartmentColumns[] = {
    {"p_nom", "Поряд.№", false, false},        {"n_kvr", "Кв №", true, false},
    {"p_kvr", "Код вызова", false, false},     {"p_pk", "№ клеммы", false, false},
    {"m_obr", "Обратный вызов", false, true},  {"l_otz", "Отзвонка", false, true},
    {"x_key", "К-во ключей", false, false},    {"st_kvr", "Статус", false, false},
    {"m_blk", "Блокировка", false, true},      {"l_vid", "Видеопросмотр", false, true},
    {"l_pnp", "Перенаправление", false, true}, {"call", "Прямой вызов", false, true},
};

// The terminal column is drawn as two digits, centred.
class ApartmentListModel : public DatasetModel {
  public:
    using DatasetModel::DatasetModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (index.isValid() && index.column() == ColumnOf(QStringLiteral("p_pk"))) {
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
            if (role == Qt::DisplayRole) {
                const QVariant v = DatasetModel::data(index, Qt::EditRole);
                return v.isNull() ? QVariant() : QVariant(IntToStrZ(v.toLongLong(), 2));
            }
        }
        return DatasetModel::data(index, role);
    }
};

// The apartment number holds at most 12 characters.
class NumberDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            LimitChars(edit, ApartmentWidths::kNumber);
        return editor;
    }
};

ElidedLabel* headerValue(QWidget* parent, const char* name) {
    auto* label = Named(new ElidedLabel(parent), name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace

TFrKvr::TFrKvr(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrKvr1"), Screens::Find(6)->title, parent) {
    g_frKvr = this;
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildHeader());
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildList(), 1);
    auto* side = new QVBoxLayout;
    side->addWidget(buildNumbering());
    side->addWidget(buildInsert());
    side->addStretch();
    middle->addLayout(side);
    content->addLayout(middle, 1);
    buildMenu();
    wireControls();
}

TFrKvr::~TFrKvr() {
    if (g_frKvr == this) g_frKvr = nullptr;
}

TFrKvr* TFrKvr::Instance() {
    return g_frKvr;
}

// ---------------------------------------------------------------- building

QWidget* TFrKvr::buildHeader() {
    PanelHead = Named(new QFrame(this), "PanelHead");
    PanelHead->setFrameShape(QFrame::StyledPanel);
    DBTextHouse = headerValue(PanelHead, "DBTextHouse");
    DBTextNPod = headerValue(PanelHead, "DBTextNPod");
    DBTextVKvr = headerValue(PanelHead, "DBTextVKvr");
    DBTextNmPod = headerValue(PanelHead, "DBTextNmPod");
    BitUpGrup = Named(new QPushButton(QStringLiteral("|◄ Первый"), PanelHead), "BitUpGrup");
    BtnUp = Named(new QPushButton(QStringLiteral("◄ Предыдущий"), PanelHead), "BtnUp");
    BtnDown = Named(new QPushButton(QStringLiteral("Следующий ►"), PanelHead), "BtnDown");
    BitDownGrup = Named(new QPushButton(QStringLiteral("Последний ►|"), PanelHead), "BitDownGrup");
    for (QPushButton* b : {BitUpGrup, BtnUp, BtnDown, BitDownGrup})
        b->setToolTip(QStringLiteral("Подъезд"));
    auto* layout = new QHBoxLayout(PanelHead);
    layout->addWidget(new QLabel(QStringLiteral("Дом:"), PanelHead));
    ElidedLabel::AddToRow(layout, DBTextHouse);
    layout->addSpacing(10);
    layout->addWidget(new QLabel(QStringLiteral("Подъезд №"), PanelHead));
    ElidedLabel::AddToRow(layout, DBTextNPod);
    layout->addSpacing(10);
    layout->addWidget(new QLabel(QStringLiteral("Квартир:"), PanelHead));
    ElidedLabel::AddToRow(layout, DBTextVKvr);
    layout->addSpacing(10);
    ElidedLabel::AddToRow(layout, DBTextNmPod);
    layout->addStretch();
    layout->addWidget(BitUpGrup);
    layout->addWidget(BtnUp);
    layout->addWidget(BtnDown);
    layout->addWidget(BitDownGrup);
    return PanelHead;
}

QWidget* TFrKvr::buildList() {
    DBGrid1 = Named(new DatasetGrid(this), "DBGrid1");
    DBGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->installEventFilter(this);
    return DBGrid1;
}

QWidget* TFrKvr::buildNumbering() {
    auto* box = Named(new QFrame(this), "PanelNum");
    box->setFrameShape(QFrame::StyledPanel);
    E_Kk = Named(new QSpinBox(box), "E_Kk");
    E_Kk->setRange(0, kMaxPerFloor);
    CBLevel = Named(new QComboBox(box), "CBLevel");
    CBLevel->addItems({QStringLiteral("В десятках 10"), QStringLiteral("В сотнях   100"),
                       QStringLiteral("В тысячах 1000")});
    CBLevel->setCurrentIndex(1);
    // Chosen by mouse only.
    CBLevel->setFocusPolicy(Qt::NoFocus);
    CBLevel->installEventFilter(this);
    E_n1 = Named(new QSpinBox(box), "E_n1");
    E_n1->setRange(0, 1);
    E_n1->installEventFilter(this);
    Ch_lv = Named(new QRadioButton(QStringLiteral("Этаж с текущей позиции"), box), "Ch_lv");
    Ch_all = Named(new QRadioButton(QStringLiteral("С начала до конца"), box), "Ch_all");
    BitNum = Named(new QPushButton(QStringLiteral("Нумеровать"), box), "BitNum");
    auto* layout = new QGridLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("Квартир на этаже"), box), 0, 0);
    layout->addWidget(E_Kk, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Разрядность"), box), 1, 0);
    layout->addWidget(CBLevel, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Первая позиция"), box), 2, 0);
    layout->addWidget(E_n1, 2, 1);
    layout->addWidget(Ch_lv, 3, 0, 1, 2);
    layout->addWidget(Ch_all, 4, 0, 1, 2);
    layout->addWidget(BitNum, 5, 0, 1, 2);
    return box;
}

QWidget* TFrKvr::buildInsert() {
    auto* box = Named(new QFrame(this), "PanelIns");
    box->setFrameShape(QFrame::StyledPanel);
    Efkv = Named(new QLineEdit(box), "Efkv");
    LimitChars(Efkv, ApartmentWidths::kNumber);
    VKol = Named(new QSpinBox(box), "VKol");
    VKol->setRange(1, 1);
    VKol->setEnabled(false);
    Enkv = Named(new QLineEdit(box), "Enkv");
    LimitChars(Enkv, ApartmentWidths::kNumber);
    Ekvv = Named(new QLineEdit(box), "Ekvv");
    Ekvv->setMaxLength(CallCodes::kMaxLength);
    Ekvv->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,5}")), Ekvv));
    BitInsert = Named(new QPushButton(QStringLiteral("Вставить квартиру"), box), "BitInsert");
    BitInsert->setEnabled(false);
    BitDelete = Named(new QPushButton(QStringLiteral("Удалить"), box), "BitDelete");
    BitDelete->setEnabled(false);
    BitTest = Named(new QPushButton(QStringLiteral("Проверка "), box), "BitTest");
    BitPpl = Named(new QPushButton(QStringLiteral("Абоненты"), box), "BitPpl");
    for (QWidget* w : {static_cast<QWidget*>(Efkv), static_cast<QWidget*>(Enkv),
                       static_cast<QWidget*>(Ekvv), static_cast<QWidget*>(BitInsert)})
        w->installEventFilter(this);
    auto* layout = new QGridLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("После кв. №"), box), 0, 0);
    layout->addWidget(Efkv, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Количество"), box), 1, 0);
    layout->addWidget(VKol, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Новый кв. №"), box), 2, 0);
    layout->addWidget(Enkv, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Код вызова"), box), 3, 0);
    layout->addWidget(Ekvv, 3, 1);
    layout->addWidget(BitInsert, 4, 0, 1, 2);
    layout->addWidget(BitDelete, 5, 0, 1, 2);
    layout->addWidget(BitTest, 6, 0, 1, 2);
    layout->addWidget(BitPpl, 7, 0, 1, 2);
    return box;
}

void TFrKvr::buildMenu() {
    PopupMenu = Named(new QMenu(this), "PopupMenu");
    PM_Level = Named(PopupMenu->addAction(QStringLiteral("Заполнить этаж")), "PM_Level");
    PM_All = Named(PopupMenu->addAction(QStringLiteral("Заполнить все этажи")), "PM_All");
    PM_Kodvv =
        Named(PopupMenu->addAction(QStringLiteral("Код вызова = номер квартиры")), "PM_Kodvv");
    PM_Double = Named(PopupMenu->addAction(QStringLiteral("Проверка на дублирование кодов вызова")),
                      "PM_Double");
}

void TFrKvr::wireControls() {
    connect(BtnUp, &QPushButton::clicked, this, &TFrKvr::BtnUpClick);
    connect(BtnDown, &QPushButton::clicked, this, &TFrKvr::BtnDownClick);
    connect(BitUpGrup, &QPushButton::clicked, this, &TFrKvr::BitUpGrupClick);
    connect(BitDownGrup, &QPushButton::clicked, this, &TFrKvr::BitDownGrupClick);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFrKvr::DBGrid1DblClick);
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnterOrSpace,
                            [this] { return BitNum->isEnabled(); });
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(DBGrid1, &DatasetGrid::RowChosen, this, &TFrKvr::updateDeleteButton);
    connect(PM_Level, &QAction::triggered, this, &TFrKvr::PM_LevelClick);
    connect(PM_All, &QAction::triggered, this, &TFrKvr::PM_AllClick);
    connect(PM_Kodvv, &QAction::triggered, this, &TFrKvr::PM_KodvvClick);
    connect(PM_Double, &QAction::triggered, this, &TFrKvr::PM_DoubleClick);
    connect(BitNum, &QPushButton::clicked, this, &TFrKvr::BitNumClick);
    connect(BitTest, &QPushButton::clicked, this, &TFrKvr::BitTestClick);
    connect(BitInsert, &QPushButton::clicked, this, &TFrKvr::BitInsertClick);
    connect(BitDelete, &QPushButton::clicked, this, &TFrKvr::BitDeleteClick);
    connect(E_Kk, &QSpinBox::valueChanged, this, &TFrKvr::Ch_lvClick);
    connect(Ch_lv, &QRadioButton::toggled, this, &TFrKvr::Ch_lvClick);
    connect(Ch_all, &QRadioButton::toggled, this, &TFrKvr::Ch_lvClick);
    for (QLineEdit* edit : {Efkv, Ekvv})
        connect(edit, &QLineEdit::textChanged, this, &TFrKvr::updateInsertButton);
}

void TFrKvr::attachList() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_Kvp)) return;
    delete model_;
    model_ = new ApartmentListModel(FDM->Q_Kvp, this);
    for (const KvrListColumn& c : kApartmentColumns)
        model_->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.editable,
                          c.check);
    DBGrid1->SetModel(model_);
    DBGrid1->setItemDelegateForColumn(model_->ColumnOf(QStringLiteral("n_kvr")),
                                      new NumberDelegate(DBGrid1));
    connect(FDM->Q_Kvp, &Dataset::CurrentChanged, this, &TFrKvr::updateDeleteButton);
}

// ---------------------------------------------------------------- the entrance

void TFrKvr::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    attachList();
    if (!FDM) return;
    setEntranceButtons();
    RefreshEntrance();
}

qint64 TFrKvr::currentEntrance() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_DPd)) return 0;
    return FDM->Q_DPd->FieldByName(QStringLiteral("id_pod")).AsLargeInt();
}

int TFrKvr::currentRow() const {
    return FDM && SiteData::HasCurrentRow(FDM->Q_Kvp) ? FDM->Q_Kvp->RecNo() - 1 : 0;
}

bool TFrKvr::hotelEntrance() const {
    return FDM && SiteData::HasCurrentRow(FDM->Q_DPd) &&
           FDM->Q_DPd->FieldByName(QStringLiteral("type_n")).AsBool();
}

HotelNumbering TFrKvr::numbering() const {
    return {CBLevel->currentIndex() + 1, E_n1->value(), E_Kk->value()};
}

void TFrKvr::RefreshEntrance() {
    BitNum->setEnabled(false);
    if (FDM && SiteData::HasCurrentRow(FDM->Q_Net))
        E_n1->setValue(FDM->Q_Net->FieldByName(QStringLiteral("incr")).AsInt());
    const bool hotel = hotelEntrance();
    for (QWidget* w :
         {static_cast<QWidget*>(E_Kk), static_cast<QWidget*>(E_n1), static_cast<QWidget*>(CBLevel),
          static_cast<QWidget*>(Ch_lv), static_cast<QWidget*>(Ch_all)})
        w->setEnabled(hotel);
    if (hotel) Ch_lvClick();
    showHeader();
    followSwitchList();
    updateDeleteButton();
}

// Entrances with unchecked or repeated call codes are shown in red.
void TFrKvr::showHeader() {
    const bool listed = FDM && SiteData::HasCurrentRow(FDM->Q_DPd);
    auto value = [listed](Dataset* ds, const char* field) {
        return listed && SiteData::HasCurrentRow(ds)
                   ? ds->FieldByName(QString::fromLatin1(field)).AsString()
                   : QString();
    };
    DBTextHouse->setText(FDM ? value(FDM->Q_Dom, "house") : QString());
    DBTextNPod->setText(FDM ? value(FDM->Q_DPd, "n_pod") : QString());
    DBTextVKvr->setText(FDM ? value(FDM->Q_DPd, "v_kvr") : QString());
    DBTextNmPod->setText(FDM ? value(FDM->Q_DPd, "nm_pod") : QString());
    const bool unchecked = listed && FDM->Q_DPd->FieldByName(QStringLiteral("kvv_t")).AsInt() > 0;
    for (QLabel* l : {DBTextHouse, DBTextNPod, DBTextVKvr, DBTextNmPod}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText,
                   unchecked ? QColor(Qt::red) : palette().color(QPalette::WindowText));
        l->setPalette(p);
    }
}

// The switch list stands on the switch of the entrance shown.
void TFrKvr::followSwitchList() {
    const qint64 idPod = currentEntrance();
    if (idPod != 0) FDM->Q_MNpk->Locate(QStringLiteral("p.id_pod"), idPod);
}

void TFrKvr::setEntranceButtons() {
    if (!FDM) return;
    const bool first = FDM->Q_Dom->RecNo() <= 1 && FDM->Q_DPd->RecNo() <= 1;
    const bool last = FDM->Q_Dom->RecNo() >= FDM->Q_Dom->RecordCount() &&
                      FDM->Q_DPd->RecNo() >= FDM->Q_DPd->RecordCount();
    BtnUp->setEnabled(!first);
    BtnDown->setEnabled(!last);
}

void TFrKvr::BtnUpClick() {
    Dataset* houses = FDM->Q_Dom;
    Dataset* entrances = FDM->Q_DPd;
    if (entrances->RecNo() > 1) {
        entrances->Prior();
    } else if (houses->RecNo() > 1) {
        houses->Prior();
        entrances->Last();
    }
    setEntranceButtons();
    RefreshEntrance();
}

void TFrKvr::BtnDownClick() {
    Dataset* houses = FDM->Q_Dom;
    Dataset* entrances = FDM->Q_DPd;
    if (entrances->RecNo() < entrances->RecordCount()) {
        entrances->Next();
    } else if (houses->RecNo() < houses->RecordCount()) {
        houses->Next();
        entrances->First();
    }
    setEntranceButtons();
    RefreshEntrance();
}

// The first entrance of the first house, or the last of the last.
void TFrKvr::jumpToEnd(bool last) {
    for (Dataset* ds : {FDM->Q_Dom, FDM->Q_DPd})
        if (last)
            ds->Last();
        else
            ds->First();
    BtnUp->setEnabled(last);
    BtnDown->setEnabled(!last);
    RefreshEntrance();
}

void TFrKvr::BitUpGrupClick() {
    jumpToEnd(false);
}

void TFrKvr::BitDownGrupClick() {
    jumpToEnd(true);
}

// ---------------------------------------------------------------- numbering

void TFrKvr::Ch_lvClick() {
    BitNum->setEnabled(hotelEntrance() && E_Kk->value() > 0 &&
                       (Ch_lv->isChecked() || Ch_all->isChecked()));
}

void TFrKvr::showRow(int row) {
    if (FDM && row >= 0) FDM->Q_Kvp->SetRecNo(row + 1);
}

void TFrKvr::numberFrom(int cursor, bool all) {
    const qint64 idPod = currentEntrance();
    if (idPod == 0) return;
    WaitCursor wait;
    const int after = list_.NumberFloors(idPod, cursor, numbering(), all);
    RefreshApartmentViews();
    showRow(after >= 0 ? after : cursor);
    RefreshEntrance();
}

// A double click numbers a floor of a hotel entrance from the row clicked.
void TFrKvr::DBGrid1DblClick() {
    if (!hotelEntrance()) return;
    numberFrom(currentRow(), false);
}

void TFrKvr::PM_LevelClick() {
    if (model_)
        DBGrid1->setCurrentIndex(
            model_->index(currentRow(), model_->ColumnOf(QStringLiteral("n_kvr"))));
    DBGrid1DblClick();
}

void TFrKvr::PM_AllClick() {
    if (!hotelEntrance() || E_Kk->value() <= 0) return;
    if (Dialogs::Message(ApartmentListTexts::kRecountCaption, ApartmentListTexts::kRecount,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return;
    numberFrom(currentRow(), true);
}

void TFrKvr::BitNumClick() {
    if (E_Kk->value() < 1) {
        Dialogs::Message(ApartmentListTexts::kZeroCaption, ApartmentListTexts::kEnterPerFloor,
                         DlgButtons::Ok, DlgIcon::Warning);
        return;
    }
    if (!hotelEntrance()) return;
    if (Ch_all->isChecked())
        numberFrom(0, true);
    else if (Ch_lv->isChecked())
        PM_LevelClick();
}

void TFrKvr::E_n1Exit() {
    list_.SetFloorStart(E_n1->value());
}

// ---------------------------------------------------------------- codes and checks

void TFrKvr::PM_KodvvClick() {
    const qint64 idPod = currentEntrance();
    if (idPod == 0) return;
    const int row = currentRow();
    WaitCursor wait;
    list_.CodesFromNumbers(idPod);
    RefreshApartmentViews();
    showRow(row);
    RefreshEntrance();
}

void TFrKvr::PM_DoubleClick() {
    const qint64 idPod = currentEntrance();
    if (idPod == 0) return;
    const int row = currentRow();
    const int stopped = list_.CheckAndMarkEntrance(idPod);
    RefreshApartmentViews();
    showRow(stopped >= 0 ? stopped : row);
    RefreshEntrance();
}

void TFrKvr::BitTestClick() {
    if (!FDM) return;
    const QVariant house = FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).Value();
    qint64 failed = 0;
    {
        WaitCursor wait;
        DBGrid1->hide();
        list_.SetProgress(ProgressGauge());
        failed = list_.CheckObject();
        list_.SetProgress({});
        DBGrid1->show();
    }
    RefreshApartmentViews();
    // The house as it was; in it the last entrance that failed.
    if (!house.isNull()) FDM->Q_Dom->Locate(QStringLiteral("id_dom"), house);
    if (failed != 0) FDM->Q_DPd->Locate(QStringLiteral("id_pod"), failed);
    setEntranceButtons();
    RefreshEntrance();
}

// ---------------------------------------------------------------- insert and delete

void TFrKvr::updateInsertButton() {
    BitInsert->setEnabled(!Efkv->text().trimmed().isEmpty() && !Ekvv->text().trimmed().isEmpty());
}

void TFrKvr::updateDeleteButton() {
    const bool manual =
        FDM && SiteData::HasCurrentRow(FDM->Q_Kvp) &&
        FDM->Q_Kvp->FieldByName(QStringLiteral("st_kvr")).AsString() == RowOrigin::kManual;
    BitDelete->setEnabled(manual);
}

void TFrKvr::BitInsertClick() {
    const qint64 idPod = currentEntrance();
    if (idPod == 0) return;
    qint64 id = 0;
    {
        WaitCursor wait;
        id = list_.Insert(idPod, Efkv->text(), Enkv->text(), Ekvv->text());
    }
    if (id == 0) return;
    RefreshApartmentViews(id);
    for (QLineEdit* edit : {Efkv, Enkv, Ekvv}) edit->clear();
    BitDelete->setEnabled(true);
    BitInsert->setEnabled(false);
    RefreshEntrance();
}

void TFrKvr::BitDeleteClick() {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Kvp)) return;
    const qint64 id = FDM->Q_Kvp->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
    const int row = currentRow();
    if (list_.Delete(id)) {
        RefreshApartmentViews();
        showRow(qMin(row, FDM->Q_Kvp->RecordCount() - 1));
    }
    RefreshEntrance();
}

// ---------------------------------------------------------------- keys

bool TFrKvr::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == CBLevel) return true;  // chosen by mouse only
        // While a number is edited the keys go to its editor, not to the list.
        if (watched == DBGrid1) {
            if (key->key() == Qt::Key_Delete) {
                BitDeleteClick();
                return true;
            }
        }
        if (IsEnterKey(key->key())) {
            // Enter walks the insert fields to the insert button.
            QWidget* next = watched == Efkv   ? static_cast<QWidget*>(Enkv)
                            : watched == Enkv ? static_cast<QWidget*>(Ekvv)
                            : watched == Ekvv ? static_cast<QWidget*>(BitInsert)
                                              : nullptr;
            if (next) {
                updateInsertButton();
                next->setFocus();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusIn && watched == Efkv) {
        // The after-number starts as the number of the current row.
        if (FDM && SiteData::HasCurrentRow(FDM->Q_Kvp))
            Efkv->setText(FDM->Q_Kvp->FieldByName(QStringLiteral("n_kvr")).AsString());
    } else if (event->type() == QEvent::FocusOut && watched == E_n1) {
        E_n1Exit();
    } else if (event->type() == QEvent::Enter && watched == BitInsert) {
        updateInsertButton();
    }
    return TScreenFrame::eventFilter(watched, event);
}
