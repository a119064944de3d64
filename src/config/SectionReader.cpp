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
    bits = field(width);
    left_ -= width;
    return true;
}

bool SectionReader::Take(int width, qint64& value) {
    if (width < 0 || left_ < width) return false;
    value = BinToInt(field(width));
    left_ -= width;
    return true;
}
