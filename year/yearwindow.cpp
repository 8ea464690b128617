#include "year/yearwindow.h"

#include "toolkit/controls.h"
#include "toolkit/text.h"
#include "year/yearchart.h"

#include <QChartView>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

std::vector<std::string> NativeNames(const QStringList& fileNames)
{
    std::vector<std::string> names;
    for (const QString& name : fileNames)
        names.push_back(QFile::encodeName(name).toStdString());
    return names;
}

QString FileLabel(const YearColumn& column)
{
    return QFile::decodeName(QByteArray::fromStdString(BaseName(column.File)));
}

// The captions of the 17 categories; a row that no ledger names is called by its number.
QStringList CategoryLabels(const Year& year)
{
    QStringList labels;
    for (int category = 1; category <= YearCategories; ++category) {
        const std::string& caption = year.Categories[category - 1];
        labels << (caption.empty() ? QStringLiteral("項目%1").arg(category) : toolkit::FromSjis(caption));
    }
    return labels;
}

QString RowLabel(const YearRow& row, const QStringList& categories)
{
    switch (row.Figure) {
    case YearFigure::IncomePlan:
        return QStringLiteral("収入予算");
    case YearFigure::SpendingPlan:
        return QStringLiteral("支出予算");
    case YearFigure::Spent:
        return QStringLiteral("支出計");
    case YearFigure::SpentOn:
        return QStringLiteral("使用　") + categories[row.Category - 1];
    case YearFigure::RemainingOf:
        return QStringLiteral("残り　") + categories[row.Category - 1];
    case YearFigure::Savings:
        return QStringLiteral("貯蓄（収入予算－支出計）");
    }
    return {};
}

QTableWidgetItem* FigureItem(const YearCell& cell)
{
    auto* item = new QTableWidgetItem(QString::fromStdString(YearCellText(cell)));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (cell.Marked)
        item->setForeground(Qt::red);
    return item;
}

} // namespace

QStringList MonthLabels(const Year& year)
{
    QStringList months;
    for (const YearColumn& column : year.Columns)
        months << (column.MonthNumber ? QStringLiteral("%1月").arg(*column.MonthNumber) : FileLabel(column));
    QStringList labels;
    for (qsizetype i = 0; i < months.size(); ++i)
        labels << (months.count(months[i]) > 1 && year.Columns[i].MonthNumber
                ? months[i] + QLatin1Char(' ') + FileLabel(year.Columns[i])
                : months[i]);
    return labels;
}

YearWindow::YearWindow(QWidget* owner, const QStringList& fileNames)
    : QWidget(owner, Qt::Window)
    , year_(ReadYear(NativeNames(fileNames)))
{
    setObjectName(QStringLiteral("YearWindow"));
    setWindowTitle(QStringLiteral("年間の推移"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));
    resize(1200, 820);

    QStringList categories = CategoryLabels(year_);
    Table = new QTableWidget(this);
    Table->setObjectName(QStringLiteral("YearTable"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Chart = MakeYearChart(this, year_, MonthLabels(year_), categories);
    Warnings = new QListWidget(this);
    Warnings->setObjectName(QStringLiteral("YearWarnings"));
    Warnings->setMaximumHeight(90);
    FillTable(categories);
    FillWarnings();

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(Table);
    splitter->addWidget(Chart);
    splitter->setSizes({ 340, 480 });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    layout->addWidget(Warnings);
    show();
}

void YearWindow::FillTable(const QStringList& categories)
{
    int columns = int(year_.Columns.size());
    Table->setColumnCount(columns + 1);
    Table->setRowCount(int(year_.Rows.size()));
    QStringList headings;
    for (const YearColumn& column : year_.Columns)
        headings << (column.MonthNumber ? QStringLiteral("%1月\n").arg(*column.MonthNumber) : QString())
                + FileLabel(column);
    headings << QStringLiteral("合　計");
    Table->setHorizontalHeaderLabels(headings);
    QStringList rowLabels;
    for (int row = 0; row < Table->rowCount(); ++row) {
        const YearRow& figures = year_.Rows[row];
        rowLabels << RowLabel(figures, categories);
        for (int column = 0; column < columns; ++column)
            Table->setItem(row, column, FigureItem(figures.Cells[column]));
        QTableWidgetItem* total = FigureItem({ figures.Total, false });
        QFont bold = total->font();
        bold.setBold(true);
        total->setFont(bold);
        Table->setItem(row, columns, total);
    }
    Table->setVerticalHeaderLabels(rowLabels);
    Table->setCurrentCell(-1, -1);
    Table->horizontalHeader()->setDefaultSectionSize(86);
    Table->verticalHeader()->setDefaultSectionSize(20);
}

void YearWindow::FillWarnings()
{
    for (const std::vector<std::string>* lines : { &year_.Failures, &year_.Warnings })
        for (const std::string& line : *lines) {
            auto* item = new QListWidgetItem(QString::fromStdString(line), Warnings);
            item->setForeground(Qt::red);
        }
    Warnings->setVisible(Warnings->count() > 0);
}
