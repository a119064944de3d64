#pragma once
// Field-by-field reading of a section text as TakeSection returns it (payload
// followed by the 8-bit version field). Fields come off the end of the text in
// the order they were built, and a field is taken only when all of its bits
// are there, so no decoder ever reads before the start of the text.

#include <QString>

class SectionReader {
  public:
    // The version field is set aside when the text holds at least 8 characters.
    explicit SectionReader(const QString& sectionText);

    // The version byte, -1 when the text was too short to carry one.
    int Version() const { return version_; }
    qsizetype Remaining() const { return left_; }
    bool Has(qsizetype width) const { return width >= 0 && left_ >= width; }

    // The value of the next field; false, with nothing taken, when fewer than
    // width characters remain.
    bool Take(int width, qint64& value);
    // The next field's characters as they stand in the text.
    bool TakeBits(int width, QString& bits);
    // The same characters without a copy; the view lasts as long as the reader.
    bool TakeView(int width, QStringView& bits);
    // What is left before the fields taken so far, in text order.
    QString Rest() const { return text_.left(left_); }

  private:
    // The next field's characters; the caller has checked that they are there.
    // Made directly rather than by mid(): every field of a section comes this way.
    QStringView field(int width) const {
        return QStringView(text_.constData() + left_ - width, width);
    }

    QString text_;
    qsizetype left_ = 0;
    int version_ = -1;
};
