#include "devices/SwitchListCells.h"

#include "foundation/BitAndStr.h"

namespace {

QString prefixedTwoDigits(const QString& prefix, const QVariant& number) {
    return number.isNull() ? QString() : prefix + IntToStrZ(number.toLongLong(), 2);
}

}  // namespace

QString EntranceCellText(const QVariant& house, const QVariant& nmPod, const QVariant& nPod) {
    QString text = (house.isNull() ? QString() : house.toString()) + QLatin1Char(' ');
    if (!nmPod.isNull() && !nmPod.toString().trimmed().isEmpty())
        text += QLatin1Char(' ') + nmPod.toString();
    else if (!nPod.isNull())
        text += QStringLiteral("под.") + nPod.toString();
    return text;
}

QString SwitchCellText(const QVariant& nNet) {
    return prefixedTwoDigits(QStringLiteral("КМ"), nNet);
}

QString PanelCellText(const QVariant& nNt0) {
    return prefixedTwoDigits(QStringLiteral("БВ"), nNt0);
}

QString PanelTypeText(const QVariant& bvType) {
    if (bvType.isNull()) return QString();
    return bvType.toInt() == 1 ? QStringLiteral("калитка") : QStringLiteral("вход в подъезд");
}

int CentredTextOffset(int cellWidth, int textWidth) {
    return int(qMax<qint64>(0, RoundHalfAway((cellWidth - textWidth) / 2.0)));
}
