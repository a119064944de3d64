#pragma once
// A label that shows a text read from the file: a name, an address. A file
// may hold a text of any length, so the text never sets the label's width:
// it asks for the room of an ordinary name, takes what the window gives it
// and leaves out what does not fit ("Улица Ле…"), and the whole text is its
// tool tip. It shows one line, as plain text: a line break or a tab shows
// as a space, and markup shows as it stands. text() keeps the whole text.
//
// QLabel::setText is not virtual: a text set through a QLabel* or a
// connection to QLabel::setText reaches the label without this class. The
// label therefore reads its own text whenever it draws it, lays it out or
// shows its tool tip, and the tool tip follows the text however it was set.

#include <QLabel>

class QBoxLayout;

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    // Adds the label to a row of other widgets: it takes the row's free room,
    // up to what its whole text needs, before it leaves anything out, and
    // leaves the rest to the row's stretch. Each name of a row so added grows
    // only as far as its own text.
    static void AddToRow(QBoxLayout* row, ElidedLabel* label);

    // The tool tip follows at once (a text set any other way, before the
    // label is drawn or its tool tip shown).
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // What the label draws in the room it has now.
    QString ShownText() const;
    // The width that shows the whole text: frame and margins included.
    int WholeTextWidth() const;

    // The most characters of an ordinary name the label asks room for, and
    // the least it keeps in a narrow window.
    static constexpr int kAskedCharacters = 50;
    static constexpr int kLeastCharacters = 6;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString oneLine() const;
    int lineHeight() const;
    // Frame, contents margins and margin, side to side.
    int sidesWidth() const;
    QSize withSides(int textWidth) const;
    void followText();

    Qt::TextElideMode mode_;
};
