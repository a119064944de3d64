#include "platform/ui/ProgramLocaleFileColumns.h"

#include "platform/DataSizeText.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QScreen>
#include <QTreeView>

namespace {

// Room for the sort mark and the cell margins beside the text.
constexpr int kColumnPadding = 32;
// The dialog's frame, splitter and layout margins around the two panes.
constexpr int kDialogMargins = 60;

// The longest texts the two columns show.
QString widestSize() {
    return DataSizeText((1LL << 30) - (1LL << 20) / 100);  // "1 023,99 МБ"
}
// The kinds a database folder and its files show most: plain and binary files.
QString widestKind() {
    const QMimeDatabase kinds;
    const QString text = kinds.mimeTypeForName(QStringLiteral("text/plain")).comment();
    const QString binary =
        kinds.mimeTypeForName(QStringLiteral("application/octet-stream")).comment();
    return text.size() > binary.size() ? text : binary;
}
QString widestDate() {
    return QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
}

void widenTo(QHeaderView* header, int column, const QString& widest) {
    const int text = qMax(header->fontMetrics().horizontalAdvance(
                              header->model()->headerData(column, Qt::Horizontal).toString()),
                          header->fontMetrics().horizontalAdvance(widest));
    if (header->sectionSize(column) < text + kColumnPadding)
        header->resizeSection(column, text + kColumnPadding);
}

}  // namespace

QVariant ProgramLocaleFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == kSizeColumn && !files->isDir(source))
        return DataSizeText(files->size(source));
    if (index.column() == kDateColumn)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    return QIdentityProxyModel::data(index, role);
}

void WidenFileColumns(QFileDialog& picker) {
    auto* view = picker.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view || !view->header() || !view->header()->model()) return;
    widenTo(view->header(), ProgramLocaleFileColumns::kSizeColumn, widestSize());
    widenTo(view->header(), ProgramLocaleFileColumns::kKindColumn, widestKind());
    widenTo(view->header(), ProgramLocaleFileColumns::kDateColumn, widestDate());
    // The dialog as wide as its columns and the places beside them, within
    // the screen.
    const QWidget* places = picker.findChild<QWidget*>(QStringLiteral("sidebar"));
    const int wanted =
        view->header()->length() + (places ? places->sizeHint().width() : 0) + kDialogMargins;
    const QScreen* screen = picker.screen() ? picker.screen() : QApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() - kDialogMargins : wanted;
    if (picker.width() < wanted) picker.resize(qMin(wanted, room), picker.height());
}
