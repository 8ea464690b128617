// The year at a glance: twelve ledgers written by the test's own writer with figures the test
// knows, read by `kivelo-ledger year` (JSON, CSV, aligned text) and by the year window opened
// from the main window's menu; every cell is held against the figures the test computes itself.
#include "companion.h"
#include "gui.h"

#include "ledger/record.h"
#include "toolkit/dialogs.h"
#include "year/yearwindow.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineSeries>
#include <QListWidget>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using companion::Run;
using companion::RunTool;
using toolkit::Sjis;

namespace {

// The test's own writer, apart from the program's record code: slots of a zero record, each a
// length byte and the Shift-JIS text.
class LedgerBytes {
public:
    void Put(int slot, const std::string& text)
    {
        bytes_[slot] = char(text.size());
        bytes_.replace(slot + 1, qsizetype(text.size()), QByteArray::fromStdString(text));
    }
    void Income(int row, const std::string& text) { Put((1 * 31 + row) * 13, text); }
    void Expense(int col, int row, const std::string& text) { Put(806 + (col * 31 + row) * 13, text); }
    void Daily(int col, int row, const std::string& text) { Put(1742 + (col * 20 + row) * 13, text); }
    void Month(const std::string& text) { Put(336362, text); }
    void Write(const QString& path) const
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes_), qint64(336780));
    }

private:
    QByteArray bytes_ = QByteArray(336780, '\0');
};

const char* const captions[16]
    = { "食　費", "水道･光熱費", "交通通信費", "車関連費", "被服費", "養育･教育費", "医療･衛生費", "年　金", "　父",
          "保険料", "税　金", "日用品", "住居･備品", "交際費･贈答", "教養･娯楽費", "雑　費" };
// Row 17 has no caption in the daily table; one ledger names it in its expense budget.
const char* const ownCategory = "ペット";

// One month's figures; a zero amount is left out of the ledger, an empty cell.
struct MonthFigures {
    int Number;
    QString File;
    qint64 Income;
    qint64 Budget[18]; // rows 1 to 17
    qint64 Spent[18];
    qint64 Plan = 0;
    qint64 SpentTotal = 0;
    std::string BadSpentTotal; // when not empty, the ledger holds this text as its total spent
};

MonthFigures FiguresOfMonth(int month, const QString& folder)
{
    MonthFigures figures { month, QDir(folder).filePath(QStringLiteral("L%1.ZMR").arg(month * 7 % 12)),
        month == 7 ? 0 : 280000 + 1500 * month, {}, {} };
    for (int row = 1; row <= 16; ++row) {
        figures.Budget[row] = 1000 * row + 100 * month;
        figures.Spent[row] = 950 * row + 60 * month * (row % 4) - (row == 9 && month == 3 ? 20000 : 0);
    }
    if (month == 12)
        figures.Spent[5] = 0; // an empty cell, as the July income is
    figures.Spent[17] = month == 2 ? 4321 : 0; // a category of the user's own, used once
    for (int row = 1; row <= 17; ++row) {
        figures.Plan += figures.Budget[row];
        figures.SpentTotal += figures.Spent[row];
    }
    return figures;
}

void WriteMonth(const MonthFigures& figures)
{
    LedgerBytes ledger;
    auto amount = [](qint64 value) { return value == 0 ? std::string() : std::to_string(value); };
    ledger.Month(std::to_string(figures.Number));
    ledger.Income(12, amount(figures.Income));
    ledger.Expense(1, 18, amount(figures.Plan));
    ledger.Daily(1, 18, figures.BadSpentTotal.empty() ? amount(figures.SpentTotal) : figures.BadSpentTotal);
    for (int row = 1; row <= 17; ++row) {
        ledger.Expense(1, row, amount(figures.Budget[row]));
        ledger.Daily(1, row, amount(figures.Spent[row]));
        if (row <= 16)
            ledger.Daily(0, row, Sjis(captions[row - 1]));
    }
    if (figures.Number == 4)
        ledger.Expense(0, 17, Sjis(ownCategory));
    ledger.Write(figures.File);
}

QString Category(int row)
{
    return QString::fromUtf8(row <= 16 ? captions[row - 1] : ownCategory);
}

// The table the test expects, line by line: figure, category, one value per month, the total;
// "??" for a figure computed from the text that is not an integer.
QList<QStringList> ExpectedRows(const std::vector<MonthFigures>& months)
{
    struct Figure {
        QString Name;
        int Category;
        std::function<std::optional<qint64>(const MonthFigures&)> Value;
    };
    auto spent
        = [](const MonthFigures& m) { return m.BadSpentTotal.empty() ? std::optional(m.SpentTotal) : std::nullopt; };
    std::vector<Figure> figures { { "income plan", 0, [](const MonthFigures& m) { return m.Income; } },
        { "spending plan", 0, [](const MonthFigures& m) { return m.Plan; } }, { "spent", 0, spent } };
    for (int row = 1; row <= 17; ++row)
        figures.push_back({ "spent", row, [row](const MonthFigures& m) { return m.Spent[row]; } });
    for (int row = 1; row <= 17; ++row)
        figures.push_back({ "remaining", row, [row](const MonthFigures& m) { return m.Budget[row] - m.Spent[row]; } });
    figures.push_back({ "savings", 0, [spent](const MonthFigures& m) {
                           std::optional<qint64> s = spent(m);
                           return s ? std::optional(m.Income - *s) : std::nullopt;
                       } });
    QList<QStringList> rows;
    for (const Figure& figure : figures) {
        QStringList line { figure.Name, figure.Category ? Category(figure.Category) : QString() };
        qint64 total = 0;
        for (const MonthFigures& month : months) {
            std::optional<qint64> value = figure.Value(month);
            line << (value ? QString::number(*value) : QStringLiteral("??"));
            total += value.value_or(0);
        }
        rows << (line << QString::number(total));
    }
    return rows;
}

// The columns a terminal gives the text, counted apart from the program: two for a character
// from U+1100 on, the full-width forms included, one for the half-width katakana and the rest.
int Width(const QString& text)
{
    int width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x1100 && !(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) ? 2 : 1;
    return width;
}

// The lines of the companion's output as cells: heading, months, then the figures.
QList<QStringList> TableOfOutput(const QString& format, const QByteArray& out, int columns)
{
    QList<QStringList> table;
    if (format == "json") {
        QJsonObject document = QJsonDocument::fromJson(out).object();
        QStringList heading { "figure", "category" };
        QStringList months { "month", "" };
        for (const QJsonValue& column : document["columns"].toArray()) {
            heading << column["file"].toString();
            months << column["month"].toString();
        }
        table << (heading << "total") << (months << "");
        for (const QJsonValue& value : document["rows"].toArray()) {
            QJsonObject row = value.toObject();
            QStringList line { row["figure"].toString(), row["category"].toString() };
            for (const QJsonValue& cell : row["values"].toArray())
                line << (cell.isNull() ? QStringLiteral("??") : QString::number(cell.toInteger()));
            table << (line << QString::number(row["total"].toInteger()));
        }
        return table;
    }
    if (format == "text") {
        // The values stand right-aligned after the two captions, which hold no two ASCII spaces in
        // a row; the months line has no total. Only ASCII spaces pad: "　父" keeps its own.
        auto strip = [](QString text) {
            while (text.startsWith(' '))
                text.remove(0, 1);
            while (text.endsWith(' '))
                text.chop(1);
            return text;
        };
        QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString captions = lines[i];
            QStringList values;
            for (int k = i == 1 ? columns : columns + 1; k > 0; --k) {
                captions = strip(captions);
                values.prepend(captions.mid(captions.lastIndexOf(' ') + 1));
                captions.truncate(captions.lastIndexOf(' ') + 1);
            }
            QStringList cells;
            for (const QString& caption : captions.split(QStringLiteral("  "), Qt::SkipEmptyParts))
                if (!strip(caption).isEmpty())
                    cells << strip(caption);
            table << cells + values;
        }
        return table;
    }
    QString text = format == "csv" ? QString::fromUtf8(out) : toolkit::FromSjis(out.toStdString());
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        table << line.split(',');
    return table;
}

QStringList FileNames(const std::vector<MonthFigures>& months, bool baseNames)
{
    QStringList names;
    for (const MonthFigures& month : months)
        names << (baseNames ? QFileInfo(month.File).fileName() : month.File);
    return names;
}

// What a ledger open in the main window consists of: the tables, the record buffer, the derived
// values and the controls that hold a part of the ledger.
QByteArray LedgerState(const TForm1& form)
{
    QByteArray state;
    auto add
        = [&state](const void* data, size_t size) { state.append(static_cast<const char*>(data), qsizetype(size)); };
    add(IncomeBudget, sizeof IncomeBudget);
    add(ExpenseBudget, sizeof ExpenseBudget);
    add(DailyTable, sizeof DailyTable);
    add(DetailLists, sizeof DetailLists);
    add(LedgerRecord, RecordSize);
    add(&IncomeTotal, sizeof IncomeTotal);
    add(&ProjectedSpending, sizeof ProjectedSpending);
    for (const toolkit::StringGrid* grid :
        { form.StringGrid1, form.StringGrid2, form.StringGrid3, form.StringGrid4, form.StringGrid5 })
        for (int col = 0; col < grid->ColCount(); ++col)
            for (int row = 0; row < grid->RowCount(); ++row)
                state += QByteArray::fromStdString(grid->Cell(col, row)) + '\0';
    for (const std::string& text : { form.Memo1->Text(), form.Edit1->Text(), form.Edit2->Text() })
        state += QByteArray::fromStdString(text) + '\0';
    return state;
}

} // namespace

class TestYear : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::vector<MonthFigures> months_; // in month order

    // The twelve ledgers, the one of `badMonth` holding "３千" as its total spent.
    void WriteYear(int badMonth = 0)
    {
        months_.clear();
        for (int month = 1; month <= 12; ++month) {
            months_.push_back(FiguresOfMonth(month, folder_.path()));
            if (month == badMonth)
                months_.back().BadSpentTotal = Sjis("３千");
            WriteMonth(months_.back());
        }
    }
    // The files in name order, which is not the order of their months.
    QStringList FilesByName() const
    {
        QStringList files = FileNames(months_, false);
        files.sort();
        return files;
    }
    QString WarningOf(int badMonth) const
    {
        return months_[badMonth - 1].File + QStringLiteral(": spent, daily table (1, 18): \"３千\" is not an integer");
    }

    std::unique_ptr<TForm1> form_;
    std::vector<std::string> errors_;

    YearWindow* OpenYearWindow()
    {
        toolkit::SetFilesDialogAnswerForTest([this](const QString& folder) {
            offeredFolder_ = folder;
            return FilesByName();
        });
        form_->YearView1->trigger();
        toolkit::SetFilesDialogAnswerForTest(nullptr);
        auto* window = form_->findChild<YearWindow*>();
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }
    QString offeredFolder_;

private slots:
    void init()
    {
        form_ = gui::StartMainWindow(errors_);
        QVERIFY(form_);
    }
    void cleanup() { gui::StopMainWindow(form_); }

    void companionGivesEveryFigure_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("badMonth");
        QTest::newRow("JSON") << QStringList { "--json" } << "json" << 0;
        QTest::newRow("CSV in UTF-8") << QStringList { "--csv" } << "csv" << 0;
        QTest::newRow("CSV in Shift-JIS") << QStringList { "--csv", "--cp932" } << "cp932" << 0;
        QTest::newRow("CSV in Shift-JIS named as csv names it")
            << QStringList { "--csv", "--encoding", "cp932" } << "cp932" << 0;
        QTest::newRow("aligned text") << QStringList() << "text" << 0;
        QTest::newRow("JSON with a total spent that is not an integer") << QStringList { "--json" } << "json" << 5;
        QTest::newRow("text with a total spent that is not an integer") << QStringList() << "text" << 5;
    }

    void companionGivesEveryFigure()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, format);
        QFETCH(int, badMonth);
        WriteYear(badMonth);
        Run run = RunTool(QStringList { "year" } + FilesByName() + options);
        QCOMPARE(QString::fromUtf8(run.Err), badMonth ? "kivelo-ledger: " + WarningOf(badMonth) + "\n" : QString());
        QCOMPARE(run.Status, badMonth ? 1 : 0);

        QList<QStringList> expected { QStringList { "figure", "category" } + FileNames(months_, format != "json")
            << "total" };
        QStringList monthLine { "month", "" };
        for (const MonthFigures& month : months_)
            monthLine << QString::number(month.Number);
        expected << (monthLine << "") << ExpectedRows(months_);
        if (format == "text")
            for (QStringList& line : expected)
                line.removeAll(QString()); // the empty category column leaves nothing to split
        QList<QStringList> actual = TableOfOutput(format, run.Out, int(months_.size()));
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype line = 0; line < expected.size(); ++line)
            QCOMPARE(actual[line], expected[line]);

        if (format == "text") { // every line of figures ends in the same column
            QStringList lines = QString::fromUtf8(run.Out).split('\n', Qt::SkipEmptyParts);
            for (const QString& line : lines.mid(2))
                QCOMPARE(Width(line), Width(lines[0]));
        }
        if (format.startsWith("c"))
            QVERIFY(run.Out.endsWith("\r\n"));
    }

    void companionPutsLedgersInMonthOrder()
    {
        QTemporaryDir folder;
        const std::pair<const char*, const char*> files[]
            = { { "b.ZMR", "3" }, { "c.ZMR", "1" }, { "a.ZMR", "" }, { "a1.zmr", "1" }, { "0.ZMR", "x" } };
        for (const auto& [name, month] : files) {
            LedgerBytes ledger;
            ledger.Month(month);
            ledger.Write(folder.filePath(name));
        }
        LedgerBytes().Write(folder.filePath("notes.txt"));
        // The folder's ledgers, and the same files given one by one against their names' order.
        QStringList reversed;
        for (const auto& file : files)
            reversed << folder.filePath(file.first);
        std::sort(reversed.begin(), reversed.end(), std::greater<QString>());
        for (const QStringList& arguments : { QStringList { folder.path() }, reversed }) {
            Run run = RunTool(QStringList { "year", "--json" } + arguments);
            QCOMPARE(run.Status, 0);
            QStringList order;
            for (const QJsonValue& column : QJsonDocument::fromJson(run.Out)["columns"].toArray())
                order << QFileInfo(column["file"].toString()).fileName();
            QCOMPARE(order, (QStringList { "a1.zmr", "c.ZMR", "b.ZMR", "0.ZMR", "a.ZMR" }));
        }
    }

    void companionShowsTheOthersBesideAnUnreadableFile()
    {
        WriteYear();
        QString missing = folder_.filePath("missing.ZMR");
        Run run = RunTool({ "year", "--json", missing, months_[0].File });
        QCOMPARE(QString::fromUtf8(run.Err), "kivelo-ledger: " + missing + ": No such file or directory\n");
        QCOMPARE(QJsonDocument::fromJson(run.Out)["rows"][0]["values"].toArray(), QJsonArray { months_[0].Income });
        QCOMPARE(run.Status, 2);
    }

    void windowShowsTheYearAndLeavesTheOpenLedgerAlone()
    {
        WriteYear();
        toolkit::SetFileDialogAnswerForTest(
            [this](toolkit::FileDialog::Kind, const QString&) { return months_[11].File; });
        form_->N2->trigger(); // the December ledger is open in the main window
        toolkit::SetFileDialogAnswerForTest(nullptr);
        QCOMPARE(form_->Edit1->Text(), "12");
        QByteArray before = LedgerState(*form_);
        YearWindow* window = OpenYearWindow();
        QVERIFY(window);
        QCOMPARE(offeredFolder_, folder_.path());
        QCOMPARE(LedgerState(*form_), before);
        QVERIFY(errors_.empty());

        QList<QStringList> expected = ExpectedRows(months_);
        QTableWidget* table = window->Table;
        QCOMPARE(table->rowCount(), expected.size());
        QCOMPARE(table->columnCount(), 13);
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < 13; ++column)
                QCOMPARE(table->item(row, column)->text(), expected[row][column + 2]);
        for (int column = 0; column < 12; ++column)
            QCOMPARE(table->horizontalHeaderItem(column)->text(),
                QStringLiteral("%1月\n").arg(column + 1) + QFileInfo(months_[column].File).fileName());
        QVERIFY(table->verticalHeaderItem(19)->text().endsWith(ownCategory));
        QVERIFY(window->Warnings->isHidden());

        QChart* chart = window->Chart->chart();
        auto* months = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        QVERIFY(months);
        QStringList names;
        for (int month = 1; month <= 12; ++month)
            names << QStringLiteral("%1月").arg(month);
        QCOMPARE(months->categories(), names);
        QStackedBarSeries* spent = nullptr;
        QLineSeries* plan = nullptr;
        for (QAbstractSeries* series : chart->series()) {
            spent = spent ? spent : qobject_cast<QStackedBarSeries*>(series);
            plan = plan ? plan : qobject_cast<QLineSeries*>(series);
        }
        QVERIFY(spent && plan);
        QVERIFY(spent->attachedAxes().contains(months) && plan->attachedAxes().contains(months));
        QCOMPARE(spent->count(), 17);
        for (int category = 1; category <= 17; ++category) {
            QBarSet* bars = spent->barSets()[category - 1];
            QCOMPARE(bars->label(), Category(category));
            QCOMPARE(bars->count(), 12);
            for (int month = 0; month < 12; ++month)
                QCOMPARE(bars->at(month), double(months_[month].Spent[category]));
        }
        QCOMPARE(plan->count(), 12);
        for (int month = 0; month < 12; ++month)
            QCOMPARE(plan->at(month), QPointF(month, months_[month].Plan));
    }

    void windowMarksAnAmountThatIsNotAnInteger()
    {
        WriteYear(8);
        YearWindow* window = OpenYearWindow();
        QVERIFY(window);
        QList<QStringList> expected = ExpectedRows(months_);
        for (int row : { 2, 37 }) { // spent and savings
            QTableWidgetItem* item = window->Table->item(row, 7);
            QCOMPARE(item->text(), "??");
            QCOMPARE(item->foreground().color(), QColor(Qt::red));
            QCOMPARE(window->Table->item(row, 12)->text(), expected[row][14]);
            QCOMPARE(window->Table->item(row, 6)->text(), expected[row][8]);
        }
        QVERIFY(window->Warnings->isVisible());
        QCOMPARE(window->Warnings->count(), 1);
        QCOMPARE(window->Warnings->item(0)->text(), WarningOf(8));
    }
};

QTEST_MAIN(TestYear)
#include "tst_year.moc"
