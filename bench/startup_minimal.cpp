// The minimal Qt program that Kivelo's start-up is measured against: windows of the same shape
// built from stock widgets, ending once they are shown. The shapes carry as much text as
// Kivelo's: a main window with a menu and five tables of the ledger's sizes and captions, a
// text box of 59 lines as long as the help text's, and four charts with two-line titles, axis
// titles, 18 category labels and legends.
#include "startup_shown.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QValueAxis>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);

    QMainWindow main;
    main.menuBar()->addMenu(QStringLiteral("ファイル"))->addAction(QStringLiteral("終了"));
    auto* client = new QWidget;
    main.setCentralWidget(client);
    const struct {
        QRect Geometry;
        int Cols;
        int Rows;
    } tables[] = { { QRect(0, 104, 145, 105), 2, 4 }, { QRect(0, 400, 145, 129), 2, 5 },
        { QRect(0, 240, 145, 129), 2, 5 }, { QRect(152, 80, 457, 449), 33, 20 }, { QRect(616, 40, 169, 457), 2, 18 } };
    for (const auto& shape : tables) {
        auto* table = new QTableWidget(shape.Rows, shape.Cols, client);
        table->setGeometry(shape.Geometry);
        for (int row = 0; row < shape.Rows; ++row)
            table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("交際費･贈答")));
    }
    main.showMaximized();

    QPlainTextEdit help;
    QStringList lines;
    for (int line = 0; line < 59; ++line)
        lines << (line < 50 && line % 7 != 1 ? QStringLiteral("      　　使用した金額や項目を入力するときは、金額欄をダブルクリックします。")
                                            : QString());
    help.setPlainText(lines.join(QLatin1Char('\n')));
    help.showMaximized();

    QWidget charts;
    const QRect chartPlaces[] = { QRect(8, 48, 785, 121), QRect(8, 200, 273, 345), QRect(288, 200, 249, 345),
        QRect(544, 200, 249, 345) };
    QStringList categories;
    for (int row = 0; row < 18; ++row)
        categories << QStringLiteral("教養･娯楽費%1").arg(row);
    for (int index = 0; index < 4; ++index) {
        auto* chart = new QChart;
        chart->setTitle(QStringLiteral("現状分析<br>［残金／残日数］"));
        if (index == 0) {
            for (const char* name : { "計画", "実績" }) {
                auto* line = new QLineSeries;
                for (int day = 0; day < 31; ++day)
                    line->append(day, day * 1000);
                auto* area = new QAreaSeries(line);
                area->setName(QString::fromUtf8(name));
                chart->addSeries(area);
            }
            chart->createDefaultAxes();
        } else {
            auto* bars = new QHorizontalBarSeries;
            for (const char* name : { "計画", "実績" }) {
                auto* set = new QBarSet(QString::fromUtf8(name));
                for (int row = 0; row < 18; ++row)
                    *set << row * 1000;
                bars->append(set);
            }
            chart->addSeries(bars);
            auto* positions = new QBarCategoryAxis;
            positions->append(categories);
            chart->addAxis(positions, Qt::AlignLeft);
            bars->attachAxis(positions);
            auto* values = new QValueAxis;
            chart->addAxis(values, Qt::AlignBottom);
            bars->attachAxis(values);
        }
        for (QAbstractAxis* axis : chart->axes())
            axis->setTitleText(QStringLiteral("金額［円］"));
        auto* view = new QChartView(chart, &charts);
        view->setGeometry(chartPlaces[index]);
    }
    charts.showMaximized();

    ExitWhenShown(3);
    return application.exec();
}
