// The minimal Qt program that Kivelo's start-up is measured against: windows of the same shape
// built from stock widgets (a main window with five tables of the ledger's sizes and a menu, a
// text box window, a window with four charts), ending once they are shown.
#include "startup_shown.h"

#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>

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
            table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("食　費")));
    }
    main.showMaximized();

    QPlainTextEdit help;
    help.setPlainText(QStringLiteral("ヘルプ\n").repeated(59));
    help.showMaximized();

    QWidget charts;
    const QRect chartPlaces[] = { QRect(8, 48, 785, 121), QRect(8, 200, 273, 345), QRect(288, 200, 249, 345),
        QRect(544, 200, 249, 345) };
    for (int index = 0; index < 4; ++index) {
        auto* chart = new QChart;
        if (index == 0) {
            auto* line = new QLineSeries;
            for (int day = 0; day < 31; ++day)
                line->append(day, 0);
            chart->addSeries(new QAreaSeries(line));
        } else {
            auto* bars = new QHorizontalBarSeries;
            auto* set = new QBarSet(QStringLiteral("計画"));
            for (int row = 0; row < 18; ++row)
                *set << 0;
            bars->append(set);
            chart->addSeries(bars);
        }
        chart->createDefaultAxes();
        auto* view = new QChartView(chart, &charts);
        view->setGeometry(chartPlaces[index]);
    }
    charts.showMaximized();

    ExitWhenShown(3);
    return application.exec();
}
