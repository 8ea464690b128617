// What assistive technology and the keyboard reach: the daily table as an accessible table whose
// current cell follows the selection, a Japanese name for every named control of every window,
// and keys for the menu's commands. Read through QAccessible, as a screen reader reads them. The
// events that announce a moved cell reach only a platform's accessibility bridge, which the
// offscreen platform has none of; the test reads the state a screen reader asks for after them.
#include "app/form1.h"
#include "chert/form5.h"
#include "gui.h"
#include "herup/form4.h"
#include "sisyutp/form3.h"
#include "syunyup/form2.h"
#include "toolkit/dialogs.h"
#include "toolkit/printdialog.h"

#include <QAccessible>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using toolkit::Sjis;

namespace {

QAccessibleTableInterface* TableOf(QWidget* grid)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
    return table ? table->tableInterface() : nullptr;
}

bool HasJapanese(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar character) { return character.unicode() >= 0x3000; });
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dailyTableIsAnAccessibleTable();
    void currentCellFollowsTheSelection();
    void everyNamedControlHasAJapaneseName();
    void menuCommandsHaveKeys_data();
    void menuCommandsHaveKeys();
    void f10OpensTheFileMenu();

private:
    void CheckNames(QWidget* window);

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};

void TestAccess::init()
{
    form = gui::StartMainWindow(errors);
    QVERIFY(form);
}

void TestAccess::cleanup()
{
    toolkit::SetFileDialogAnswerForTest({});
    toolkit::SetPrintDialogAnswerForTest({});
    gui::StopMainWindow(form);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            delete window;
}

void TestAccess::dailyTableIsAnAccessibleTable()
{
    form->Edit1->SetText("12");
    form->Edit2->SetText("25");
    form->Button2Click();
    form->StringGrid4->SetCell(2, 1, "4200");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(form->StringGrid4);
    QVERIFY(table && table->tableInterface());
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("日々の支出"));
    QCOMPARE(table->tableInterface()->columnCount(), 33);
    QCOMPARE(table->tableInterface()->rowCount(), 20);
    QCOMPARE(table->childCount(), 33 * 20);

    // Qt's table counts (row, column): this is the grid's cell (2, 1), food on 12月25日.
    QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 2);
    QVERIFY(cell && cell->tableCellInterface());
    QCOMPARE(cell->tableCellInterface()->columnIndex(), 2);
    QCOMPARE(cell->tableCellInterface()->rowIndex(), 1);
    QCOMPARE(cell->text(QAccessible::Value), QStringLiteral("4200"));
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("食　費, 12月25日, 4200"));
    QList<QAccessibleInterface*> rowHeaders = cell->tableCellInterface()->rowHeaderCells();
    QList<QAccessibleInterface*> columnHeaders = cell->tableCellInterface()->columnHeaderCells();
    QCOMPARE(rowHeaders.size(), 1);
    QCOMPARE(columnHeaders.size(), 1);
    QCOMPARE(rowHeaders[0]->text(QAccessible::Value), QStringLiteral("食　費"));
    QCOMPARE(rowHeaders[0]->role(), QAccessible::RowHeader);
    QCOMPARE(columnHeaders[0]->text(QAccessible::Value), QStringLiteral("12月25日"));
    QCOMPARE(columnHeaders[0]->role(), QAccessible::ColumnHeader);
    QCOMPARE(table->child(1 * 33 + 2), cell);
    QCOMPARE(table->indexOfChild(cell), 1 * 33 + 2);
    QCOMPARE(cell->parent(), table);
}

void TestAccess::currentCellFollowsTheSelection()
{
    QAccessibleTableInterface* table = TableOf(form->StringGrid4);
    QVERIFY(table);
    gui::ClickCell(form->StringGrid4, 2, 1);
    gui::Press(Qt::Key_Right);
    QAccessibleInterface* now = table->cellAt(1, 3);
    QCOMPARE(table->selectedCells(), QList<QAccessibleInterface*> { now });
    QVERIFY(now->state().focused && now->state().selected);
    QVERIFY(!table->cellAt(1, 2)->state().selected);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->StringGrid4)->focusChild(), now);
}

void TestAccess::CheckNames(QWidget* window)
{
    QList<QWidget*> controls = window->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* control : controls) {
        QString layoutName = control->objectName();
        if (layoutName.isEmpty() || layoutName.startsWith(QLatin1String("qt_")))
            continue;
        ++named;
        QString heard = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        QVERIFY2(HasJapanese(heard), qPrintable(window->objectName() + ' ' + layoutName + ": " + heard));
    }
    QVERIFY(named > 0);
}

void TestAccess::everyNamedControlHasAJapaneseName()
{
    CheckNames(form.get());
    CheckNames(new TForm4(nullptr));
    CheckNames(new TForm5(nullptr));
    QVERIFY(gui::Activate(form.get()));
    auto* income = gui::OpenEditor<TForm2>(*form, 1);
    QVERIFY(income);
    CheckNames(income);
    QVERIFY(gui::Activate(form.get()));
    auto* expense = gui::OpenEditor<TForm3>(*form, 2);
    QVERIFY(expense);
    CheckNames(expense);
}

void TestAccess::menuCommandsHaveKeys_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("open") << "N2" << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("save") << "Save1" << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("save as") << "SaveAs1" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    QTest::newRow("new month") << "NewMonth1" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("print") << "Print1" << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("help") << "N4" << QKeySequence(Qt::Key_F1);
    QTest::newRow("end") << "Exit1" << QKeySequence(Qt::CTRL | Qt::Key_Q);
}

// The key, pressed in the daily table, runs the command; the dialogs are answered with a cancel.
void TestAccess::menuCommandsHaveKeys()
{
    QFETCH(QString, action);
    QFETCH(QKeySequence, keys);
    toolkit::SetFileDialogAnswerForTest([](toolkit::FileDialog::Kind, const QString&) { return QString(); });
    toolkit::SetPrintDialogAnswerForTest([](QPrinter&) { return false; });
    auto* command = form->findChild<QAction*>(action);
    QVERIFY(command);
    QCOMPARE(command->shortcut(), keys);
    QSignalSpy triggered(command, &QAction::triggered);
    gui::ClickCell(form->StringGrid4, 2, 1);
    QKeyCombination combination = keys[0];
    gui::Press(combination.key(), combination.keyboardModifiers());
    QCOMPARE(triggered.count(), 1);
    QVERIFY(errors.empty());
}

void TestAccess::f10OpensTheFileMenu()
{
    gui::ClickCell(form->StringGrid4, 2, 1);
    gui::Press(Qt::Key_F10);
    QTRY_VERIFY(form->N1->isVisible());
    QCOMPARE(form->menuBar()->activeAction(), form->N1->menuAction());
    // Down the menu to 印刷… and Enter runs it.
    bool printed = false;
    toolkit::SetPrintDialogAnswerForTest([&printed](QPrinter&) { return printed = true, false; });
    for (int step = 0; step < 8; ++step)
        QTest::keyClick(form->N1, Qt::Key_Down);
    QCOMPARE(form->N1->activeAction(), form->Print1);
    QTest::keyClick(form->N1, Qt::Key_Return);
    QVERIFY(printed);
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
