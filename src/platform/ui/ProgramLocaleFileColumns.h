#pragma once
// Qt's file system model writes sizes and dates in the process's locale,
// which is the C locale unless the desktop says otherwise ("2.93 KiB",
// "7 Dec 2026"). The pickers show dates in the program's own (Russian) locale
// and sizes in Russian units (DataSizeText) instead, in columns wide enough
// to read.

#include <QIdentityProxyModel>

class QFileDialog;

class ProgramLocaleFileColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    static constexpr int kSizeColumn = 1;
    static constexpr int kKindColumn = 2;
    static constexpr int kDateColumn = 3;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// The size, kind and date columns of the picker's detail view as wide as
// their usual texts in the program's locale.
void WidenFileColumns(QFileDialog& picker);
