// The recent list under ファイル: the last eight ledgers opened or saved, newest first, each under
// its number and name, between the separator and 終了 and closed by a separator of their own. An
// empty list leaves the menu as it is without one.
#include "app/form1.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

// Wide enough for a name and its folder; a longer one is shortened in the middle.
constexpr int EntryWidth = 420;

// "~/家計簿/2024-12.ZMR" for a ledger below the home folder.
QString ShownName(const QString& fileName)
{
    QString home = QDir::homePath();
    QString shown = fileName;
    if (shown.startsWith(home + QLatin1Char('/')))
        shown = QLatin1Char('~') + shown.mid(home.size());
    return QDir::toNativeSeparators(shown);
}

} // namespace

void TForm1::BuildRecentMenu()
{
    connect(&RecentLedgers, &toolkit::RecentFiles::Changed, this, &TForm1::ShowRecentLedgers);
    // Another Kivelo may have opened ledgers meanwhile; the menu shows them when it opens.
    connect(N1, &QMenu::aboutToShow, &RecentLedgers, &toolkit::RecentFiles::Reload);
    N1->setToolTipsVisible(true);
    ShowRecentLedgers();
}

void TForm1::ShowRecentLedgers()
{
    // An entry may be the one whose click has led here: it goes once that click is over.
    for (QAction* entry : recentEntries_) {
        N1->removeAction(entry);
        entry->deleteLater();
    }
    recentEntries_.clear();
    const QStringList& files = RecentLedgers.Files();
    for (int number = 1; number <= files.size(); ++number) {
        const QString& fileName = files[number - 1];
        QString name = N1->fontMetrics().elidedText(ShownName(fileName), Qt::ElideMiddle, EntryWidth);
        auto* entry
            = new QAction(QStringLiteral("&%1 %2").arg(number).arg(name.replace('&', QStringLiteral("&&"))), N1);
        entry->setObjectName(QStringLiteral("RecentLedger%1").arg(number));
        entry->setToolTip(QDir::toNativeSeparators(fileName));
        connect(entry, &QAction::triggered, this,
            [this, fileName] { toolkit::Guard(toolkit::Shows, [&] { RecentLedgerClick(fileName); }); });
        recentEntries_.push_back(entry);
    }
    if (!recentEntries_.empty()) {
        auto* separator = new QAction(N1);
        separator->setSeparator(true);
        recentEntries_.push_back(separator);
    }
    for (QAction* entry : recentEntries_)
        N1->insertAction(Exit1, entry);
}

void TForm1::RecentLedgerClick(const QString& fileName)
{
    if (!toolkit::Guard([&] { OpenLedgerFromOutside(fileName); }) && !QFileInfo::exists(fileName))
        RecentLedgers.Remove(fileName);
}

void TForm1::NameLedgerFile(const QString& fileName)
{
    LedgerFileName = fileName;
    RecentLedgers.Add(fileName);
}
