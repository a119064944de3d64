#pragma once
// A label that shows a text read from the file: a name, an address. A file
// may hold a text of any length, so the text never sets the label's width:
// it asks for the room of an ordinary name, takes what the window gives it
// and leaves out what does not fit ("Улица Ле…"), and the whole text is its
// tool tip. It shows one line, as plain text: a line break or a tab shows
// as a space, and markup shows as it stands. text() keeps the whole text.

#include <QLabel>

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // What the label draws in the room it has now.
    QString ShownText() const;

    // The most characters of an ordinary name the label asks room for, and
    // the least it keeps in a narrow window.
    static constexpr int kAskedCharacters = 50;
    static constexpr int kLeastCharacters = 6;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString oneLine() const;
    int lineHeight() const;

    Qt::TextElideMode mode_;
};
