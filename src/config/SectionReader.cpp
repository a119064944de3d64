#include "config/SectionReader.h"

#include "foundation/BitAndStr.h"

SectionReader::SectionReader(const QString& sectionText) : text_(sectionText) {
    left_ = text_.size();
    if (left_ >= 8) {
        version_ = int(BinToInt(QStringView(text_).mid(left_ - 8, 8)));
        left_ -= 8;
    }
}

bool SectionReader::TakeBits(int width, QString& bits) {
    if (width < 0 || left_ < width) return false;
    bits = text_.mid(left_ - width, width);
    left_ -= width;
    return true;
}

bool SectionReader::TakeView(int width, QStringView& bits) {
    if (width < 0 || left_ < width) return false;
    bits = QStringView(text_).mid(left_ - width, width);
    left_ -= width;
    return true;
}

bool SectionReader::Take(int width, qint64& value) {
    if (width < 0 || left_ < width) return false;
    left_ -= width;
    // Bounds are checked above; every field of every section comes this way.
    value = BinToInt(QStringView(text_.constData() + left_, width));
    return true;
}
