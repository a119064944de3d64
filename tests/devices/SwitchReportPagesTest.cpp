// The switch reports on paper: each rendered to a PDF with its pages as
// pictures (build/screens/reports/), checked by where the renderer put the
// rows and by the text read back from the file.

#include "DeviceFixture.h"
#include "ReportPdf.h"
#include "devices/SwitchReports.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QSet>

#include <iostream>

namespace SwitchReportPagesTestUnit {
namespace {

class SwitchReportPages : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
    }
    ReportModel Terminal(qint64 idPk) {
        EXPECT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", idPk));
        QString error;
        const auto report = BuildTerminalReport(*dm_, &error);
        EXPECT_TRUE(report) << error.toStdString();
        return report.value_or(ReportModel());
    }
    ReportModel Tracts() {
        QString error;
        const auto report = BuildTractReport(*dm_, &error);
        EXPECT_TRUE(report) << error.toStdString();
        return report.value_or(ReportModel());
    }
    ReportModel Object() {
        QString error;
        const auto report = BuildObjectReport(*dm_, &error);
        EXPECT_TRUE(report) << error.toStdString();
        return report.value_or(ReportModel());
    }
    // The PDF, its pictures and, where the tools are installed, its text.
    ReportPdf Print(const ReportModel& model, const QString& name) {
        ReportPdf pdf = RenderReportPdf(model, name);
        EXPECT_FALSE(pdf.path.isEmpty()) << pdf.error.toStdString();
        if (!pdf.pictures.isEmpty()) {
            EXPECT_EQ(pdf.pages.pages, pdf.pictures.size());
        }
        return pdf;
    }
    // The body's rows stay on their page, inside the body, and apart.
    static void ExpectRowsApart(const ReportPages& pages) {
        for (const ReportPages::Row& r : pages.rows) {
            EXPECT_TRUE(pages.body.adjusted(-1, -1, 1, 1).contains(r.rect))
                << "row " << r.row << " of group " << r.group << " leaves the body";
            for (const ReportPages::Row& s : pages.rows)
                if (&r != &s && r.page == s.page) {
                    EXPECT_FALSE(r.rect.adjusted(1, 1, -1, -1).intersects(s.rect))
                        << "rows " << r.row << " and " << s.row << " overlap";
                }
        }
    }
};

bool TextRead(const ReportPdf& pdf) {
    if (!pdf.text) std::cerr << "text of " << pdf.path.toStdString() << " not checked\n";
    return pdf.text.has_value();
}

TEST_F(SwitchReportPages, TerminalReportOfHouseOneEntranceTwo) {
    const ReportPdf pdf = Print(Terminal(2), QStringLiteral("TFQRepPK"));
    EXPECT_EQ(1, pdf.pages.pages);
    ASSERT_EQ(41, pdf.pages.rows.size());
    // p_nom order down the left column, then the right one.
    for (int i = 1; i < 41; ++i) {
        const ReportPages::Row& before = pdf.pages.rows[i - 1];
        const ReportPages::Row& row = pdf.pages.rows[i];
        EXPECT_EQ(i, row.row);
        EXPECT_TRUE(row.rect.top() > before.rect.top() || row.rect.left() > before.rect.left());
    }
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    const QString& text = *pdf.text;
    EXPECT_TRUE(
        text.contains(QStringLiteral("Распределение квартир подъезда по клеммам коммутатора КМ 2")))
        << text.toStdString();
    for (const char* field :
         {"Дом: 1", "Подъезд: 2", "Первая кв: 41", "Последняя кв: 80", "ВСЕГО кв: 40", "№пп",
          "Квартира №", "Клемма Торвин", "Код вызова", "пост охраны"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(field))) << field;
}

TEST_F(SwitchReportPages, AnEntranceWithoutApartmentsPrintsItsHeaderAndTitleOnly) {
    Exec("DELETE FROM k_kvr WHERE id_pod = 3");
    ASSERT_TRUE(dm_->ReopenApartments());
    const ReportPdf pdf = Print(Terminal(3), QStringLiteral("TFQRepPK_empty"));
    EXPECT_EQ(1, pdf.pages.pages);
    EXPECT_TRUE(pdf.pages.rows.isEmpty());
    if (!TextRead(pdf)) return;
    EXPECT_TRUE(pdf.text->contains(QStringLiteral("коммутатора КМ 3")));
    EXPECT_TRUE(pdf.text->contains(QStringLiteral("Дом: 2")));
    EXPECT_TRUE(pdf.text->contains(QStringLiteral("ВСЕГО кв: 40")));
    EXPECT_FALSE(pdf.text->contains(QStringLiteral("пост охраны")));
}

TEST_F(SwitchReportPages, FourHundredApartmentsPrintOnceEachOverColumnsAndPages) {
    ResizeEntrance(2, 1001, 400);
    ASSERT_TRUE(dm_->Q_DPd->Reopen());
    ASSERT_TRUE(dm_->ReopenApartments());
    const ReportPdf pdf = Print(Terminal(2), QStringLiteral("TFQRepPK_400"));
    ASSERT_EQ(401, pdf.pages.rows.size());
    QSet<int> seen;
    QSet<QPair<int, int>> columns;  // page, column
    for (const ReportPages::Row& r : pdf.pages.rows) {
        seen << r.row;
        columns << qMakePair(r.page, r.rect.left() > pdf.pages.body.center().x() ? 1 : 0);
    }
    EXPECT_EQ(401, seen.size());
    ASSERT_GE(pdf.pages.pages, 3);
    for (int page = 0; page + 1 < pdf.pages.pages; ++page)
        EXPECT_TRUE(columns.contains({page, 0}) && columns.contains({page, 1})) << page;
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    // Each number stands in its row twice (apartment and call code); the
    // first and the last once more in the title band.
    for (int n = 1001; n <= 1400; ++n)
        EXPECT_EQ(n == 1001 || n == 1400 ? 3 : 2, CountWord(*pdf.text, QString::number(n))) << n;
    EXPECT_EQ(1, CountWord(*pdf.text, QStringLiteral("охраны")));
    EXPECT_EQ(pdf.pages.pages, pdf.text->count(QStringLiteral("коммутатора КМ 2")));
}

TEST_F(SwitchReportPages, TractReportListsEachSwitchWithItsPanels) {
    Exec("UPDATE m_bv SET tract = 3 WHERE id_bv = 3");
    const ReportPdf pdf = Print(Tracts(), QStringLiteral("TFQRepTract"));
    EXPECT_EQ(1, pdf.pages.pages);
    EXPECT_EQ(6, pdf.pages.rows.size());
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    const QString& text = *pdf.text;
    EXPECT_TRUE(text.contains(QStringLiteral("Распределение блоков вызова по трактам КМ")));
    EXPECT_EQ(1, CountWord(text, QStringLiteral("Тракт")));
    EXPECT_EQ(3, text.count(QStringLiteral("Дом:")));
    // pdftotext reads the two spaces of a panel name as one.
    for (const char* part : {"КМ 1", "КМ 2", "КМ 3", "Подъезд: 2", "БВ03 дом 1 - 2. 01 вх"})
        EXPECT_TRUE(text.simplified().contains(QString::fromUtf8(part))) << part;
    EXPECT_EQ(3, CountWord(text, QStringLiteral("калитка")));
}

TEST_F(SwitchReportPages, ObjectReportNumbersItsPages) {
    const ReportPdf pdf = Print(Object(), QStringLiteral("TFQRepObject"));
    EXPECT_EQ(1, pdf.pages.pages);
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    const QString& text = *pdf.text;
    EXPECT_TRUE(text.contains(QStringLiteral("ОБЪЕКТ Дом на Садовой")));
    EXPECT_TRUE(text.contains(QStringLiteral("стр. 1")));
    EXPECT_EQ(3, text.count(QStringLiteral("Тракт (вход)")));
    for (const char* part : {"Нумерация 0", "Коммутатор Торвин", "с 41", "по 80", "Квартир 40"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
}

TEST_F(SwitchReportPages, ALongObjectRunsOnNumberedPages) {
    ReportModel model = Object();
    const ReportGroup first = model.groups.value(0);
    for (int i = 0; i < 40; ++i) model.groups << first;
    const ReportPdf pdf = Print(model, QStringLiteral("TFQRepObject_long"));
    ASSERT_GE(pdf.pages.pages, 2);
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    for (int page = 1; page <= pdf.pages.pages; ++page)
        EXPECT_EQ(1, pdf.text->count(QStringLiteral("стр. %1\n").arg(page))) << page;
    EXPECT_EQ(pdf.pages.pages, pdf.text->count(QStringLiteral("ОБЪЕКТ Дом на Садовой")));
}

TEST_F(SwitchReportPages, ALongPanelNameWrapsInItsCellAndTheRowGrows) {
    Exec("UPDATE k_bv SET n_bv = ? WHERE id_bv = 2",
         {QStringLiteral("БВ02 дом 1 подъезд 1 вход со двора у детской площадки слева")});
    Exec("UPDATE k_bv SET n_bv = ? WHERE id_bv = 3", {QString(50, QChar(0x0416))});  // Ж x 50
    const ReportPdf pdf = Print(Tracts(), QStringLiteral("TFQRepTract_long_names"));
    ASSERT_EQ(6, pdf.pages.rows.size());
    const double oneLine = pdf.pages.rows[0].rect.height();  // the gate of switch 1
    EXPECT_GT(pdf.pages.rows[1].rect.height(), 1.5 * oneLine);
    EXPECT_GT(pdf.pages.rows[3].rect.height(), 1.5 * oneLine);
    ExpectRowsApart(pdf.pages);
    if (!TextRead(pdf)) return;
    EXPECT_TRUE(pdf.text->contains(QStringLiteral("детской")));
}
}  // namespace
}  // namespace SwitchReportPagesTestUnit
