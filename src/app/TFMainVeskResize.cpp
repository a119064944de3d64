// The main window's size: on the screen at start and whenever a screen makes
// it grow, the matrix grid's columns when it resizes, the default size and the
// screen-wide toggle.

#include "app/TFMainVesk.h"

#include "app/MainWindowParts.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowData.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/ui/TScreenFrame.h"
#include "foundation/ui/WindowPlacement.h"
#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableView>

using namespace MainWindowParts;
using namespace MainWindowTexts;

namespace {

// Centres the text of the matrix's switch columns.
class CentredDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

}  // namespace

void TFMainVesk::FormResize() {
    if (!shown(FrDom1) || !matrixGrid_ || !matrixGrid_->model()) return;
    QAbstractItemModel* model = matrixGrid_->model();
    const int n = model->columnCount();
    if (n == 0) return;
    const int first =
        MainWindowLogic::MatrixFirstColumnWidth(gridToggles_.value(QStringLiteral("fm")));
    // The design's widths suit a smaller font than ours: a column is never
    // narrower than its widest text or its title.
    auto fitted = [this](int column, int width) {
        const QAbstractItemView* view = matrixGrid_;
        return qMax(width, qMax(view->sizeHintForColumn(column),
                                matrixGrid_->horizontalHeader()->sectionSizeHint(column)));
    };
    matrixGrid_->setColumnWidth(0, fitted(0, first));
    auto fieldName = [model](int column) {
        return model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    const bool nameLast = fieldName(n - 1) == QStringLiteral("nm_bv");
    if (nameLast) matrixGrid_->setColumnWidth(n - 1, fitted(n - 1, first));
    const int w =
        MainWindowLogic::MatrixColumnWidth(matrixGrid_->viewport()->width(), n, first, nameLast);
    for (int c = Globals().Colstp; c < n; ++c) {
        if (!fieldName(c).startsWith(QLatin1Char('p'))) continue;
        matrixGrid_->setColumnWidth(c, fitted(c, w));
        if (!matrixGrid_->itemDelegateForColumn(c))
            matrixGrid_->setItemDelegateForColumn(c, new CentredDelegate(matrixGrid_));
    }
}

void TFMainVesk::fitOnScreen() {
    const QScreen* desktop = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!desktop || isMaximized() || isFullScreen()) return;
    const QRect area = desktop->availableGeometry();
    // The frame is known once the window is shown; before, only the inside counts.
    const QSize frame = frameGeometry().size() - size();
    const QSize fitted = MainWindowLogic::FitWindowToScreen(size(), area.size(), frame);
    if (fitted != size()) resize(fitted);
    if (isVisible()) move(MainWindowLogic::KeepWithin(frameGeometry(), area).topLeft());
}

void TFMainVesk::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    fitOnScreen();
}

void TFMainVesk::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
    // A screen that needs more room than the window had makes it grow, to
    // the right and down; it moves back, so that all of it stays on the
    // screen. What the operator drags (spontaneous) is left where it is.
    if (!event->spontaneous()) KeepOnScreen(this);
}

void TFMainVesk::MServIniClick() {
    if (Dialogs::Message(QStringLiteral("Подтверждение"),
                         QStringLiteral("Восстановить внешний вид программы в первоначальное "
                                        "состояние?"),
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return;
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    // The screen shown may need more than the default size; the window then
    // keeps the least it needs.
    resize(kDefaultWidth, kDefaultHeight);
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(area.center());
        move(MainWindowLogic::KeepWithin(frame, area).topLeft());
    }
    Globals().WidthMain = width();
    for (const char* key : {"fm", "fp", "fb"}) gridToggles_[QString::fromLatin1(key)] = kBoldOff;
    if (matrixGrid_) matrixGrid_->setColumnWidth(0, 140);
}

void TFMainVesk::BitScreenClick() {
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    if (width() < area.width()) {
        Globals().WidthMain = width();
        resize(area.width(), height());
    } else {
        // Back to the width it had, or to the installation's when that one
        // was the screen's width already.
        int w = Globals().WidthMain;
        if (w >= area.width() || w <= 0) w = MainWindowData::StoredMainWidth();
        if (w <= 0) w = kDefaultWidth;
        resize(w, height());
    }
    // Keep the window on the screen.
    move(MainWindowLogic::KeepWithin(frameGeometry(), area).topLeft());
}
