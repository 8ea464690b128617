#include "app/widetable.h"

#include "toolkit/controls.h"
#include "toolkit/stringgrid.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

WideLayout SpreadOver(const WideLayout& designed, const QSize& client)
{
    // The table's right edge stays where it is designed to meet the panel: under its first column.
    int panelLeft = std::max(designed.ListPanel.left(), client.width() - designed.ListPanel.width());
    int tableRight = panelLeft + designed.Table.right() - designed.ListPanel.left();
    int tableBottom = std::max(designed.Table.bottom(), client.height() - 1);
    QRect table(designed.Table.topLeft(), QPoint(tableRight, tableBottom));
    QRect panel(QPoint(panelLeft, designed.ListPanel.top()), designed.ListPanel.size());
    // The line is wider than the panel: it keeps inside the window, moving left where it must.
    int lineShift = panelLeft - designed.ListPanel.left();
    int lineLeft = std::max(designed.UnderList.left(),
        std::min(designed.UnderList.left() + lineShift, client.width() - designed.UnderList.width()));
    QRect line(QPoint(lineLeft, designed.UnderList.top()), designed.UnderList.size());
    return { table, panel, line };
}

WideTable::WideTable(QWidget& client, toolkit::StringGrid& table, toolkit::Panel& listPanel, QWidget& underList)
    : QObject(&client)
    , client_(client)
    , table_(table)
    , listPanel_(listPanel)
    , underList_(underList)
    , designed_ { table.geometry(), listPanel.geometry(), underList.geometry() }
{
    client.installEventFilter(this);
}

void WideTable::SetSpread(bool spread)
{
    spread_ = spread;
    Place();
}

bool WideTable::eventFilter(QObject* watched, QEvent* event)
{
    if (spread_ && watched == &client_ && event->type() == QEvent::Resize)
        Place();
    return false;
}

void WideTable::Place()
{
    WideLayout layout = spread_ ? SpreadOver(designed_, client_.size()) : designed_;
    table_.setGeometry(layout.Table);
    listPanel_.setGeometry(layout.ListPanel);
    underList_.setGeometry(layout.UnderList);
}
