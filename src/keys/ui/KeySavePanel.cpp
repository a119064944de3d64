#include "keys/ui/KeySavePanel.h"

#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/ConfigPanelSearch.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/NamedWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

const QString kChoose = QStringLiteral("Выбрать БВ");
const QString kCancelChoice = QStringLiteral("Отменить выбор");
const QString kQuestion = QStringLiteral("Вопрос");

void setSpin(QSpinBox* box, qint64 value) {
    if (box) box->setValue(int(qBound(qint64(box->minimum()), value, qint64(box->maximum()))));
}

qint64 spin(const QSpinBox* box) {
    return box ? box->value() : 0;
}

void setCheck(QCheckBox* box, bool on) {
    if (box) box->setChecked(on);
}

}  // namespace

KeySavePanel::KeySavePanel(const EditorKeyControls& editor, QWidget* parent)
    : QGroupBox(QStringLiteral("Сохранение ключей"), parent), editor_(editor) {
    setObjectName(QStringLiteral("KeySavePanel"));
    RB_Ob = Named(new QRadioButton(QStringLiteral("По данным имеющегося объекта"), this), "RB_Ob");
    RB_Sr = Named(new QRadioButton(QStringLiteral("По сходной структуре в данном объекте"), this),
                  "RB_Sr");
    RB_Ob->setChecked(true);
    CB_Kv = Named(new QCheckBox(QStringLiteral("Ключи с БВ по квартирам"), this), "CB_Kv");
    CB_Ob = Named(new QCheckBox(QStringLiteral("Общие ключи"), this), "CB_Ob");
    CB_Kv->setChecked(true);
    CB_Ob->setChecked(true);
    BitFind = Named(new QPushButton(QStringLiteral("Найти БВ"), this), "BitFind");
    BitKeys = Named(new QPushButton(QStringLiteral("Внести ключи"), this), "BitKeys");
    BitChek = Named(new QPushButton(kCancelChoice, this), "BitChek");
    // Wide enough for both of its texts, so that neither is cut.
    BitChek->setMinimumWidth(BitChek->sizeHint().width());
    BitChek->setText(kChoose);
    BitKeys->setEnabled(false);
    L_Found = Named(new QLabel(this), "L_Found");
    L_Keys = Named(new QLabel(this), "L_Keys");
    L_Keys->setStyleSheet(QStringLiteral("color: blue;"));
    buildList();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitFind);
    buttons->addWidget(BitChek);
    buttons->addWidget(BitKeys);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{RB_Ob, RB_Sr, CB_Kv, CB_Ob})
        layout->addWidget(w);
    layout->addLayout(buttons);
    layout->addWidget(L_Found);
    layout->addWidget(L_Keys);
    layout->addWidget(DBGrid1, 1);
    layout->addStretch();

    connect(BitFind, &QPushButton::clicked, this, &KeySavePanel::BitFindClick);
    connect(BitKeys, &QPushButton::clicked, this, &KeySavePanel::BitKeysClick);
    connect(BitChek, &QPushButton::clicked, this, &KeySavePanel::BitChekClick);
}

void KeySavePanel::buildList() {
    DBGrid1 = Named(new DatasetGrid(this), "DBGrid1");
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->hide();
    DBGrid1->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &KeySavePanel::DBGrid1DblClick);
    if (!FDM) return;
    auto* panels = new DatasetModel(FDM->Q_bv, this);
    panels->AddColumn(QStringLiteral("n_bv"), QStringLiteral("Наименование БВ"));
    panels->AddColumn(QStringLiteral("n_nt0"), QStringLiteral("Сетевой адрес"));
    panels->AddColumn(QStringLiteral("bv_type"), QStringLiteral("Тип БВ"));
    panels->AddColumn(QStringLiteral("sn_bv"), QStringLiteral("Серийный № БВ"));
    DBGrid1->SetModel(panels);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void KeySavePanel::ShowServedEntrances(int served) {
    // Common keys go to the panel's entrance: a file of several has no one
    // entrance to take them.
    if (served > 1) CB_Ob->setChecked(false);
    CB_Ob->setEnabled(served == 1);
}

ConfigFileIdent KeySavePanel::readIdent() const {
    ConfigFileIdent ident;
    ident.idNet = spin(editor_.V_id_net);
    ident.idNom = spin(editor_.V_id_nom);
    ident.idBv = spin(editor_.V_id_bv);
    ident.typeBv = spin(editor_.V_type_bv);
    ident.nNet = spin(editor_.V_n_net);
    return ident;
}

void KeySavePanel::showIdent(const ConfigFileIdent& ident, const IdentChecks* checks) {
    setSpin(editor_.V_id_bv, ident.idBv);
    setSpin(editor_.V_type_bv, ident.typeBv);
    setSpin(editor_.V_n_net, ident.nNet);
    if (!checks) return;
    setCheck(editor_.Ch_id_net, checks->idNet);
    setCheck(editor_.Ch_id_nom, checks->idNom);
    setCheck(editor_.Ch_id_bv, checks->idBv);
    setCheck(editor_.Ch_type_bv, checks->typeBv);
    setCheck(editor_.Ch_n_net, checks->nNet);
}

void KeySavePanel::BitFindClick() {
    if (DBGrid1->isVisible()) BitChekClick();
    L_Found->clear();
    L_Keys->clear();
    if (!FDM) return;
    if (RB_Ob->isChecked()) {
        const PanelSearchResult found = FindPanelByIdent(*FDM, readIdent());
        showIdent(found.ident, &found.checks);
        L_Found->setText(found.text);
        BitKeys->setEnabled(found.found);
        return;
    }
    findByStructure();
}

void KeySavePanel::findByStructure() {
    setSpin(editor_.V_id_bv, 0);
    L_Found->setText(PanelSearchTexts::Searching());
    L_Found->repaint();
    WaitCursor wait;
    const QString mpd = editor_.Mpd ? editor_.Mpd->toPlainText().trimmed() : QString();
    // The memo's first line is the section as the decoder left it; lines
    // added by earlier searches follow and are never compared.
    const QString mpp = editor_.Mpp ? editor_.Mpp->document()->firstBlock().text() : QString();
    const PanelSearchResult found =
        FindPanelByStructure(*FDM, readIdent(), mpd, mpp, Globals().SepDevice);
    showIdent(found.ident, nullptr);
    L_Found->setText(found.text);
    BitKeys->setEnabled(found.found);
    if (found.mppLine && editor_.Mpp) editor_.Mpp->appendPlainText(*found.mppLine);
}

void KeySavePanel::BitKeysClick() {
    if (!FDM) return;
    EditorKeyLists lists;
    ReadSectionKeyGrids(editor_, lists);
    ConfigKeyEntryResult result;
    {
        WaitCursor wait;
        result = EnterConfigKeys(*FDM, readIdent(), lists.keys5, lists.keys6, lists.keys7,
                                 {CB_Kv->isChecked(), CB_Ob->isChecked()}, Globals().SepDevice,
                                 ProgressGauge());
    }
    L_Found->setText(result.FoundText());
    L_Keys->setText(result.KeysText());
    BitKeys->setEnabled(false);
}

void KeySavePanel::BitChekClick() {
    if (BitChek->text() == kChoose) {
        DBGrid1->show();
        BitChek->setText(kCancelChoice);
    } else {
        hideList();
    }
    BitKeys->setEnabled(false);
}

void KeySavePanel::hideList() {
    DBGrid1->hide();
    BitChek->setText(kChoose);
}

void KeySavePanel::chooseListedPanel(const QString& question) {
    if (!FDM || FDM->Q_bv->RecNo() < 1) return;
    if (!Dialogs::AskYesNo(kQuestion, question)) return;
    setSpin(editor_.V_id_bv, FDM->Q_bv->FieldByName(QStringLiteral("id_bv")).AsLargeInt());
    hideList();
    BitKeysClick();
}

void KeySavePanel::DBGrid1DblClick() {
    chooseListedPanel(QStringLiteral("Внести ключи в подъезд, связанный с этим БВ?"));
}

void KeySavePanel::DBGrid1KeyDown(int key) {
    if (key == Qt::Key_Escape) {
        hideList();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // The question of the Enter key is spelled this way.
        chooseListedPanel(QStringLiteral("Внести ключи в подъезд, связнный с этим БВ?"));
    }
}

bool KeySavePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) return true;
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGrid1KeyDown(key);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}
