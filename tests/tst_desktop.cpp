// Kivelo on the desktop: Qt's own texts in Japanese, the program's name and icon, ledgers dropped
// on the main window and the recent list under ファイル, which outlasts the window in the settings.
// The texts are compared with Qt's own catalogue, the files and settings are real ones in folders
// of the test's own.
#include "app/commandline.h"
#include "chert/form5.h"
#include "gui.h"
#include "herup/form4.h"
#include "tests/ledgerbytes.h"
#include "toolkit/convert.h"
#include "toolkit/desktop.h"
#include "toolkit/dialogs.h"
#include "toolkit/recentfiles.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace gui;
using toolkit::Sjis;

namespace {

// A ledger of empty slots but for its memo, which tells the ledgers apart.
void WriteLedger(const QString& path, const QString& memo)
{
    QByteArray record(336780, '\0');
    QByteArray text = ShiftJis(memo);
    record[336524] = char(text.size());
    record.replace(336525, text.size(), text);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(record) == record.size());
}

// Runs `show`, which opens a modal dialog or box and returns once it has closed; `read` is given
// the dialog while it is up, and then the dialog is closed. False when no such dialog came up.
template <class Dialog>
bool WhileShown(const std::function<void()>& show, const std::function<void(Dialog&)>& read)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || seen)
            return;
        seen = true;
        read(*dialog);
        static_cast<QDialog*>(dialog)->reject();
    });
    poll.start(10);
    show();
    return seen;
}

// The recent list's entries as ファイル shows them, first to last.
QList<QAction*> RecentEntries(TForm1& form)
{
    QList<QAction*> entries;
    for (QAction* action : form.N1->actions())
        if (action->objectName().startsWith(QLatin1String("RecentLedger")))
            entries << action;
    return entries;
}

// The full names of the recent list's entries.
QStringList RecentFiles(TForm1& form)
{
    QStringList files;
    for (QAction* entry : RecentEntries(form))
        files << entry->toolTip();
    return files;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void qtsOwnTextsAreJapanese_data();
    void qtsOwnTextsAreJapanese();
    void theProgramBelongsToItsMenuEntry();
    void aLedgerNamedAtStartOpensOnceTheWindowsAreUp_data();
    void aLedgerNamedAtStartOpensOnceTheWindowsAreUp();
    void aDroppedLedgerOpens_data();
    void aDroppedLedgerOpens();
    void theRecentListOutlastsTheWindowNewestFirst();
    void aRecentLedgerThatHasGoneIsShownAndLeavesTheList();

private:
    QString Path(const QString& name) const { return files_->filePath(name); }

    QTemporaryDir settings_;
    std::unique_ptr<QTemporaryDir> files_;
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> errors_;
    QString openAnswer_;
    toolkit::SaveChangesAnswer changesAnswer_ = toolkit::SaveChangesAnswer::Cancel;
};

void TestDesktop::initTestCase()
{
    char name[] = "kivelo";
    char* arguments[] = { name, nullptr };
    CommandLine commandLine(1, arguments);  // names the program, as at its start
    toolkit::JoinDesktop();
    toolkit::LoadQtTextsInJapanese();
    // The settings of this test's own, in place of the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    toolkit::RecentFiles::KeepInSettings();
    // The tests read Qt's own dialogs, never a desktop's.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestDesktop::init()
{
    QSettings(QStringLiteral("kivelo"), QStringLiteral("kivelo")).clear();
    files_ = std::make_unique<QTemporaryDir>();
    openAnswer_.clear();
    toolkit::SetFileDialogAnswerForTest([this](toolkit::FileDialog::Kind, const QString&) { return openAnswer_; });
    toolkit::SetSaveChangesAnswerForTest([this] { return changesAnswer_; });
    form_ = StartMainWindow(errors_);
    QVERIFY(form_);
}

void TestDesktop::cleanup()
{
    StopMainWindow(form_);
    toolkit::SetFileDialogAnswerForTest({});
    toolkit::SetSaveChangesAnswerForTest({});
}

void TestDesktop::qtsOwnTextsAreJapanese_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("english");
    QTest::newRow("the open dialog's accept button") << "OpenDialog1" << "QFileDialog" << "&Open";
    QTest::newRow("the save dialog's accept button") << "SaveDialog1" << "QFileDialog" << "&Save";
    QTest::newRow("the open dialog's cancel button") << "OpenDialog1 cancel" << "QPlatformTheme" << "Cancel";
    QTest::newRow("the memo's context menu") << "Memo1" << "QWidgetTextControl" << "&Undo";
    QTest::newRow("an edit's context menu") << "Edit1" << "QLineEdit" << "&Undo";
    // Qt's Japanese for this one is "OK" itself.
    QTest::newRow("the error box's button") << "error box" << "QPlatformTheme" << "OK";
}

void TestDesktop::qtsOwnTextsAreJapanese()
{
    QFETCH(QString, shown);
    QFETCH(QString, context);
    QFETCH(QString, english);
    const QString japanese = QCoreApplication::translate(context.toLatin1(), english.toLatin1());
    QVERIFY2(japanese != english || english == QLatin1String("OK"), "Qt's Japanese catalogue is not loaded");
    QString text;
    if (shown == QLatin1String("error box")) {
        toolkit::SetErrorSinkForTest({});
        QVERIFY(WhileShown<QMessageBox>([] { toolkit::ShowError(Sjis("ﾌｧｲﾙが見つかりません")); },
            [&](QMessageBox& box) { text = box.button(QMessageBox::Ok)->text(); }));
    } else if (shown == QLatin1String("Memo1") || shown == QLatin1String("Edit1")) {
        std::unique_ptr<QMenu> menu(shown == QLatin1String("Memo1") ? form_->Memo1->createStandardContextMenu()
                                                                    : form_->Edit1->createStandardContextMenu());
        text = menu->actions().value(0)->text().section(QLatin1Char('\t'), 0, 0);  // less the key beside it
    } else {
        toolkit::SetFileDialogAnswerForTest({});
        toolkit::FileDialog& dialog
            = shown.startsWith(QLatin1String("OpenDialog1")) ? form_->OpenDialog1 : form_->SaveDialog1;
        QDialogButtonBox::ButtonRole role
            = shown.endsWith(QLatin1String("cancel")) ? QDialogButtonBox::RejectRole : QDialogButtonBox::AcceptRole;
        QStringList filters;
        QVERIFY(WhileShown<QFileDialog>([&] { dialog.Execute(); },
            [&](QFileDialog& qt) {
                auto* buttons = qt.findChild<QDialogButtonBox*>();
                for (QAbstractButton* button : buttons->buttons())
                    if (buttons->buttonRole(button) == role)
                        text = button->text();
                auto* combo = qt.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                for (int i = 0; i < combo->count(); ++i)
                    filters << combo->itemText(i);
            }));
        QCOMPARE(filters, QStringList { QStringLiteral("家計簿ファイル(*.ZMR)") });
    }
    QCOMPARE(text, japanese);
}

void TestDesktop::theProgramBelongsToItsMenuEntry()
{
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("kivelo"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.5"));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("kivelo"));
    QVERIFY(!QApplication::windowIcon().pixmap(32, 32).isNull());
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kivelo　Ｖｅｒ１．5"));
}

void TestDesktop::aLedgerNamedAtStartOpensOnceTheWindowsAreUp_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("a ledger that exists opens") << true;
    QTest::newRow("a missing ledger is not found, and the windows stay") << false;
}

void TestDesktop::aLedgerNamedAtStartOpensOnceTheWindowsAreUp()
{
    QFETCH(bool, exists);
    const QString ledger = Path(QStringLiteral("2024-12.ZMR"));
    if (exists)
        WriteLedger(ledger, QStringLiteral("起動時の家計簿"));
    StopMainWindow(form_);
    toolkit::SetErrorSinkForTest([this](const std::string& text) { errors_.push_back(text); });
    toolkit::SetTodayForTest(QDate(2024, 12, 10));  // a day on which the analysis window builds
    ResetTables();
    StartWindows windows = StartProgram(ledger);
    std::unique_ptr<TForm1> main(windows.Main);
    std::unique_ptr<TForm4> help(windows.Help);
    std::unique_ptr<TForm5> analysis(windows.Analysis);
    QTRY_VERIFY(!main->LedgerFileName.isEmpty() || !errors_.empty());
    toolkit::SetTodayForTest(QDate());
    QCOMPARE(errors_, exists ? std::vector<std::string>() : std::vector<std::string> { Sjis("ﾌｧｲﾙが見つかりません.") });
    QCOMPARE(main->Memo1->Text(), exists ? ShiftJis(QStringLiteral("起動時の家計簿")).toStdString() : Sjis("メモ"));
    QCOMPARE(main->LedgerFileName, exists ? ledger : QString());
    QVERIFY(main->isVisible() && help->isVisible() && analysis->isVisible());
}

void TestDesktop::aDroppedLedgerOpens_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opened");
    const int discard = int(toolkit::SaveChangesAnswer::Discard);
    const int cancel = int(toolkit::SaveChangesAnswer::Cancel);
    QTest::newRow("a ledger dropped on the daily table opens") << "StringGrid4" << "a.ZMR" << false << cancel << true;
    QTest::newRow("a ledger dropped on the memo opens instead of being typed into it")
        << "Memo1" << "a.ZMR" << false << cancel << true;
    QTest::newRow("a ledger dropped on the period opens") << "Edit1" << "a.ZMR" << false << cancel << true;
    QTest::newRow("a ledger named in lower case opens") << "StringGrid4" << "a.zmr" << false << cancel << true;
    QTest::newRow("another kind of file is refused") << "StringGrid4" << "a.pdf" << false << cancel << false;
    QTest::newRow("unsaved changes are asked about first, and 保存しない opens")
        << "StringGrid4" << "a.ZMR" << true << discard << true;
    QTest::newRow("unsaved changes are asked about first, and キャンセル keeps them")
        << "StringGrid4" << "a.ZMR" << true << cancel << false;
}

void TestDesktop::aDroppedLedgerOpens()
{
    QFETCH(QString, on);
    QFETCH(QString, name);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    WriteLedger(Path(name), QStringLiteral("落とした家計簿"));
    form_->LedgerChanged = changed;
    changesAnswer_ = toolkit::SaveChangesAnswer(answer);
    auto* control = form_->findChild<QWidget*>(on);
    bool taken = gui::Drop(*form_, control->mapTo(form_.get(), control->rect().center()), { Path(name) });
    QCOMPARE(taken, name.endsWith(QLatin1String(".ZMR"), Qt::CaseInsensitive));
    QApplication::processEvents();  // the drop is over; the file opens now
    QCOMPARE(form_->LedgerFileName, opened ? Path(name) : QString());
    QCOMPARE(form_->Memo1->Text(), opened ? ShiftJis(QStringLiteral("落とした家計簿")).toStdString() : Sjis("メモ"));
    QVERIFY(form_->SaveDialog1.FileName().isEmpty());  // an Open never names the save dialog
    QVERIFY(errors_.empty());
}

void TestDesktop::theRecentListOutlastsTheWindowNewestFirst()
{
    for (int month = 1; month <= 10; ++month)
        WriteLedger(Path(QStringLiteral("%1.ZMR").arg(month)), QString::number(month));
    // Nine opened and one saved: the eight newest stay.
    for (int month = 1; month <= 9; ++month) {
        openAnswer_ = Path(QStringLiteral("%1.ZMR").arg(month));
        form_->N2->trigger();
    }
    openAnswer_ = Path(QStringLiteral("10.ZMR"));
    form_->SaveAs1->trigger();
    openAnswer_ = Path(QStringLiteral("5.ZMR"));  // opened again, it comes first
    form_->N2->trigger();
    QVERIFY(errors_.empty());
    QStringList expected;
    for (int month : { 5, 10, 9, 8, 7, 6, 4, 3 })
        expected << Path(QStringLiteral("%1.ZMR").arg(month));
    QCOMPARE(RecentFiles(*form_), expected);

    StopMainWindow(form_);
    form_ = StartMainWindow(errors_);
    QVERIFY(form_);
    QCOMPARE(RecentFiles(*form_), expected);
    QVERIFY(RecentEntries(*form_)[0]->text().startsWith(QLatin1String("&1 ")));
    QVERIFY(RecentEntries(*form_)[0]->text().endsWith(QLatin1String("5.ZMR")));
    QStringList menu;
    for (QAction* action : form_->N1->actions())
        menu << (action->isSeparator() ? QStringLiteral("-") : action->text().left(3));
    QCOMPARE(menu.mid(7),
        (QStringList { "印刷…", "-", "&1 ", "&2 ", "&3 ", "&4 ", "&5 ", "&6 ", "&7 ", "&8 ", "-", "終了" }));

    RecentEntries(*form_)[2]->trigger();  // 9.ZMR, opened as Open would
    QCOMPARE(form_->Memo1->Text(), std::string("9"));
    QCOMPARE(form_->LedgerFileName, Path(QStringLiteral("9.ZMR")));
    QCOMPARE(RecentFiles(*form_).value(0), Path(QStringLiteral("9.ZMR")));
    QVERIFY(form_->SaveDialog1.FileName().isEmpty());
    QVERIFY(errors_.empty());
}

void TestDesktop::aRecentLedgerThatHasGoneIsShownAndLeavesTheList()
{
    WriteLedger(Path(QStringLiteral("a.ZMR")), QStringLiteral("a"));
    WriteLedger(Path(QStringLiteral("b.ZMR")), QStringLiteral("b"));
    form_->OpenLedgerFromOutside(Path(QStringLiteral("a.ZMR")));
    form_->OpenLedgerFromOutside(Path(QStringLiteral("b.ZMR")));
    QVERIFY(QFile::remove(Path(QStringLiteral("a.ZMR"))));
    QCOMPARE(RecentEntries(*form_).size(), 2);
    RecentEntries(*form_)[1]->trigger();
    QCOMPARE(errors_, std::vector<std::string> { Sjis("ﾌｧｲﾙが見つかりません.") });
    QCOMPARE(form_->Memo1->Text(), std::string("b"));
    QCOMPARE(RecentFiles(*form_), QStringList { Path(QStringLiteral("b.ZMR")) });
    StopMainWindow(form_);
    form_ = StartMainWindow(errors_);
    QCOMPARE(RecentFiles(*form_), QStringList { Path(QStringLiteral("b.ZMR")) });
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
