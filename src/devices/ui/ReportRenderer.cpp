#include "devices/ui/ReportRenderer.h"

#include "devices/ReportFlow.h"
#include "platform/DurableFile.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Geometry, in millimetres.
constexpr double kSideMargin = 15;
constexpr double kTopMargin = 12;
constexpr double kBottomMargin = 12;
constexpr double kColumnGap = 6;
constexpr double kBandGap = 3;       // under the page header and the title band
constexpr double kCellPad = 1.0;     // inside a framed cell
constexpr double kTitlePad = 2;      // inside the title band's frame
constexpr double kFieldGap = 5;      // between two fields of a band
constexpr double kGroupGap = 2.5;    // above a switch's band
constexpr double kLineWidth = 0.25;  // frames

QFont reportFont(double points, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A text laid out as it is drawn: in lines no wider than width, broken at
// word boundaries and within a word longer than a line; on one line of its
// natural width when width is 0.
class TextBox {
  public:
    TextBox(const QString& text, const QFont& font, QPaintDevice* device, double width = 0)
        : layout_(text, font, device) {
        QTextOption option;
        option.setWrapMode(width > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                     : QTextOption::NoWrap);
        layout_.setTextOption(option);
        layout_.beginLayout();
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(width > 0 ? width : 1e7);
            line.setPosition(QPointF(0, height_));
            height_ += line.height();
            width_ = std::max(width_, line.naturalTextWidth());
        }
        layout_.endLayout();
    }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void Draw(QPainter& painter, const QPointF& at) const { layout_.draw(&painter, at); }

  private:
    QTextLayout layout_;
    double width_ = 0;
    double height_ = 0;
};

// The fields of a band, side by side and wrapped onto further lines; a field
// wider than the band takes lines of its own.
struct FieldFlow {
    struct Item {
        QString text;
        QRectF rect;       // from the band's top left
        double wrapWidth;  // 0: one line
    };
    QList<Item> items;
    double height = 0;
};

FieldFlow flowFields(const QList<ReportField>& fields, const QFont& font, QPaintDevice* device,
                     double width, double gap) {
    FieldFlow flow;
    double x = 0;
    double y = 0;
    double lineHeight = 0;
    auto newLine = [&] {
        y += lineHeight;
        x = 0;
        lineHeight = 0;
    };
    for (const ReportField& field : fields) {
        const QString text = field.Text();
        const TextBox natural(text, font, device);
        if (x > 0 && x + natural.Width() > width) newLine();
        if (natural.Width() > width) {
            const TextBox wrapped(text, font, device, width);
            flow.items << FieldFlow::Item{text, QRectF(0, y, width, wrapped.Height()), width};
            lineHeight = wrapped.Height();
            newLine();
            continue;
        }
        flow.items << FieldFlow::Item{text, QRectF(x, y, natural.Width(), natural.Height()), 0};
        x += natural.Width() + gap;
        lineHeight = std::max(lineHeight, natural.Height());
    }
    flow.height = y + lineHeight;
    return flow;
}

// A block of the body as it flows.
struct Block {
    enum Kind { Band, Label, Row } kind;
    int group = 0;
    int row = 0;
    double height = 0;
    bool keepWithNext = false;
};

class Renderer {
  public:
    Renderer(const ReportModel& model, QPainter& painter, QPagedPaintDevice& device)
        : m_(model), p_(painter), d_(device), dpi_(device.logicalDpiY()) {
        page_ = QSizeF(device.width(), device.height());
        content_ = QRectF(mm(kSideMargin), mm(kTopMargin), page_.width() - 2 * mm(kSideMargin),
                          page_.height() - mm(kTopMargin) - mm(kBottomMargin));
        const int columns = std::max(1, m_.columns);
        columnWidth_ = (content_.width() - (columns - 1) * mm(kColumnGap)) / columns;
        cellWidths_ = FitCellWidths(m_.cellWeights, desiredCellWidths(), columnWidth_);
        headerCellWidths_ = spannedWidths();
        pageHeaderHeight_ = measurePageHeader();
        titleHeight_ = m_.title.isEmpty() ? 0 : titleFlow().height + 2 * mm(kTitlePad);
        columnHeaderHeight_ = m_.columnHeader.isEmpty() ? 0 : columnHeaderRowHeight();
    }

    ReportPages Run() {
        const QList<Block> blocks = measureBlocks();
        QList<FlowBlock> heights;
        for (const Block& b : blocks) heights << FlowBlock{b.height, b.keepWithNext};
        const FlowArea area{std::max(1, m_.columns), columnCapacity(0), columnCapacity(1)};
        const Flow flow = FlowBlocks(heights, area);

        ReportPages out;
        out.pages = flow.pages;
        out.pageSize = page_;
        out.body =
            QRectF(content_.left(), bodyTop(1), content_.width(), content_.bottom() - bodyTop(1));
        p_.setPen(QPen(Qt::black, mm(kLineWidth)));
        for (int page = 0; page < flow.pages; ++page) {
            if (page > 0) d_.newPage();
            paintPageHeader(page);
            if (page == 0) paintTitle();
            paintColumnHeaders(page, flow);
            for (int i = 0; i < blocks.size(); ++i) {
                if (flow.places[i].page != page) continue;
                const QRectF rect = blockRect(flow.places[i], blocks[i].height);
                paintBlock(blocks[i], rect);
                if (blocks[i].kind == Block::Row)
                    out.rows << ReportPages::Row{blocks[i].group, blocks[i].row, page, rect};
            }
        }
        return out;
    }

  private:
    double mm(double v) const { return v * dpi_ / 25.4; }

    // ---------------------------------------------------------------- measuring

    // The widest text of each cell, its title over it included, in one line.
    QList<double> desiredCellWidths() const {
        QList<double> widest(m_.cellWeights.size(), 0);
        auto take = [&](int cell, const QString& text, const QFont& font) {
            if (cell < widest.size())
                widest[cell] = std::max(widest[cell], TextBox(text, font, &d_).Width());
        };
        int cell = 0;
        for (const ReportHeaderCell& h : m_.columnHeader) {
            if (h.span == 1) take(cell, h.title, columnHeaderFont_);
            cell += h.span;
        }
        for (const ReportGroup& g : m_.groups)
            for (const QStringList& row : g.rows)
                for (int c = 0; c < row.size(); ++c) take(c, row[c], cellFont_);
        for (double& w : widest) w += 2 * mm(kCellPad) + 1;
        return widest;
    }

    QList<double> spannedWidths() const {
        QList<double> widths;
        int cell = 0;
        for (const ReportHeaderCell& h : m_.columnHeader) {
            double w = 0;
            for (int k = 0; k < h.span && cell < cellWidths_.size(); ++k) w += cellWidths_[cell++];
            widths << w;
        }
        return widths;
    }

    QString pageNumberText(int page) const {
        return ReportField{m_.pageNumberLabel, QString::number(page + 1)}.Text();
    }
    // Room kept for the page number beside the header, the same on every page.
    double pageNumberRoom() const {
        if (m_.pageNumberLabel.isEmpty()) return 0;
        return TextBox(pageNumberText(9998), headerFont_, &d_).Width() + mm(kFieldGap);
    }
    double measurePageHeader() const {
        const TextBox text(m_.pageHeader.Text(), headerFont_, &d_,
                           content_.width() - pageNumberRoom());
        return std::max(text.Height(), TextBox(pageNumberText(0), headerFont_, &d_).Height()) +
               mm(1.5);
    }
    FieldFlow titleFlow() const {
        return flowFields(m_.title, titleFont_, &d_, content_.width() - 2 * mm(kTitlePad),
                          mm(kFieldGap));
    }
    FieldFlow bandFlow(int group) const {
        return flowFields(m_.groups[group].fields, bandFont_, &d_, columnWidth_, mm(kFieldGap));
    }
    double cellsHeight(const QStringList& cells, const QList<double>& widths,
                       const QFont& font) const {
        double h = 0;
        for (int c = 0; c < widths.size(); ++c)
            h = std::max(h, TextBox(cells.value(c), font, &d_, cellTextWidth(widths[c])).Height());
        return h + 2 * mm(kCellPad);
    }
    double cellTextWidth(double cellWidth) const {
        return std::max(1.0, cellWidth - 2 * mm(kCellPad));
    }
    double columnHeaderRowHeight() const {
        QStringList titles;
        for (const ReportHeaderCell& h : m_.columnHeader) titles << h.title;
        return cellsHeight(titles, headerCellWidths_, columnHeaderFont_);
    }

    QList<Block> measureBlocks() const {
        QList<Block> blocks;
        for (int g = 0; g < m_.groups.size(); ++g) {
            const ReportGroup& group = m_.groups[g];
            const bool rows = !group.rows.isEmpty();
            if (!group.fields.isEmpty())
                blocks << Block{Block::Band, g, 0, mm(kGroupGap) + bandFlow(g).height + mm(1),
                                !group.rowsLabel.isEmpty() || rows};
            if (!group.rowsLabel.isEmpty())
                blocks << Block{
                    Block::Label, g, 0,
                    TextBox(group.rowsLabel, labelFont_, &d_, columnWidth_).Height() + mm(1), rows};
            for (int r = 0; r < group.rows.size(); ++r)
                blocks << Block{Block::Row, g, r,
                                cellsHeight(group.rows[r], cellWidths_, cellFont_), false};
        }
        return blocks;
    }

    double titleTop() const { return content_.top() + pageHeaderHeight_ + mm(kBandGap); }
    double bodyTop(int page) const {
        if (page == 0 && titleHeight_ > 0) return titleTop() + titleHeight_ + mm(kBandGap);
        return titleTop();
    }
    double columnCapacity(int page) const {
        return content_.bottom() - bodyTop(page) - columnHeaderHeight_;
    }
    double columnLeft(int column) const {
        return content_.left() + column * (columnWidth_ + mm(kColumnGap));
    }
    QRectF blockRect(const FlowPlace& at, double height) const {
        return QRectF(columnLeft(at.column), bodyTop(at.page) + columnHeaderHeight_ + at.top,
                      columnWidth_, height);
    }

    // ---------------------------------------------------------------- painting

    void paintText(const QString& text, const QFont& font, const QPointF& at,
                   double wrapWidth = 0) {
        TextBox(text, font, &d_, wrapWidth).Draw(p_, at);
    }

    void paintPageHeader(int page) {
        paintText(m_.pageHeader.Text(), headerFont_, content_.topLeft(),
                  content_.width() - pageNumberRoom());
        if (!m_.pageNumberLabel.isEmpty()) {
            const QString number = pageNumberText(page);
            const double w = TextBox(number, headerFont_, &d_).Width();
            paintText(number, headerFont_, QPointF(content_.right() - w, content_.top()));
        }
        const double rule = content_.top() + pageHeaderHeight_;
        p_.drawLine(QPointF(content_.left(), rule), QPointF(content_.right(), rule));
    }

    void paintFields(const FieldFlow& flow, const QFont& font, const QPointF& origin) {
        for (const FieldFlow::Item& item : flow.items)
            paintText(item.text, font, origin + item.rect.topLeft(), item.wrapWidth);
    }

    void paintTitle() {
        if (titleHeight_ <= 0) return;
        const QRectF frame(content_.left(), titleTop(), content_.width(), titleHeight_);
        p_.drawRect(frame);
        paintFields(titleFlow(), titleFont_,
                    frame.topLeft() + QPointF(mm(kTitlePad), mm(kTitlePad)));
    }

    void paintCells(const QStringList& cells, const QList<double>& widths, const QFont& font,
                    const QRectF& row, const QBrush& fill = Qt::NoBrush) {
        double x = row.left();
        for (int c = 0; c < widths.size(); ++c) {
            const QRectF cell(x, row.top(), widths[c], row.height());
            p_.fillRect(cell, fill);
            p_.drawRect(cell);
            paintText(cells.value(c), font, cell.topLeft() + QPointF(mm(kCellPad), mm(kCellPad)),
                      cellTextWidth(widths[c]));
            x += widths[c];
        }
    }

    // The column header stands at the top of every column that holds rows,
    // and of the first one, so that a report without rows shows its columns.
    void paintColumnHeaders(int page, const Flow& flow) {
        if (m_.columnHeader.isEmpty()) return;
        QStringList titles;
        for (const ReportHeaderCell& h : m_.columnHeader) titles << h.title;
        for (int column = 0; column < std::max(1, m_.columns); ++column) {
            const bool used = std::any_of(
                flow.places.begin(), flow.places.end(),
                [&](const FlowPlace& at) { return at.page == page && at.column == column; });
            if (!used && !(page == 0 && column == 0)) continue;
            const QRectF row(columnLeft(column), bodyTop(page), columnWidth_, columnHeaderHeight_);
            paintCells(titles, headerCellWidths_, columnHeaderFont_, row, QColor(235, 235, 235));
        }
    }

    void paintBlock(const Block& b, const QRectF& rect) {
        const ReportGroup& group = m_.groups[b.group];
        switch (b.kind) {
            case Block::Band:
                paintFields(bandFlow(b.group), bandFont_,
                            rect.topLeft() + QPointF(0, mm(kGroupGap)));
                break;
            case Block::Label:
                paintText(group.rowsLabel, labelFont_, rect.topLeft(), columnWidth_);
                break;
            case Block::Row:
                paintCells(group.rows[b.row], cellWidths_, cellFont_, rect);
                break;
        }
    }

    const ReportModel& m_;
    QPainter& p_;
    QPagedPaintDevice& d_;
    double dpi_;
    QSizeF page_;
    QRectF content_;
    QFont headerFont_ = reportFont(12, true);
    QFont titleFont_ = reportFont(10);
    QFont columnHeaderFont_ = reportFont(8.5, true);
    QFont bandFont_ = reportFont(10, true);
    QFont labelFont_ = reportFont(9, false, true);
    QFont cellFont_ = reportFont(9);
    double columnWidth_ = 0;
    QList<double> cellWidths_;
    QList<double> headerCellWidths_;
    double pageHeaderHeight_ = 0;
    double titleHeight_ = 0;
    double columnHeaderHeight_ = 0;
};

// A4 portrait without margins: the renderer keeps its own.
QPageLayout reportPage() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

bool writePdf(const ReportModel& model, const QPageLayout& page, const QString& path,
              QString* error, ReportPages* pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(model.caption);
        writer.setPageLayout(page);
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = QStringLiteral("Не удалось начать запись PDF: %1").arg(path);
            return false;
        }
        const ReportPages laid = RenderReport(model, painter, writer);
        painter.end();
        if (pages) *pages = laid;
    }
    return DurableFile::Write(path, buffer.data(), error);
}

}  // namespace

void SetReportPage(QPagedPaintDevice& device) {
    device.setPageLayout(reportPage());
}

void SetReportPage(QPrinter& printer) {
    printer.setFullPage(true);
    SetReportPage(static_cast<QPagedPaintDevice&>(printer));
}

ReportPages RenderReport(const ReportModel& model, QPainter& painter, QPagedPaintDevice& device) {
    return Renderer(model, painter, device).Run();
}

bool WriteReportPdf(const ReportModel& model, const QString& path, QString* error,
                    ReportPages* pages) {
    return writePdf(model, reportPage(), path, error, pages);
}

bool WriteReportPdf(const ReportModel& model, const QPrinter& printer, QString* error) {
    const QPageLayout chosen = printer.pageLayout();
    const QPageLayout page(chosen.pageSize(), chosen.orientation(), QMarginsF(0, 0, 0, 0));
    return writePdf(model, page, printer.outputFileName(), error, nullptr);
}
