// The daily table across the whole window (表示 > 画面に合わせて広げる): the table grows to the right
// and down with the window, showing as many days as fit, and the detail list with its OK stands at
// the window's right edge; the other grids, the memo, the period and the panels keep their places.
// Off, every control is where the window was designed to have it.
#pragma once

#include <QObject>
#include <QRect>

namespace toolkit {
class StringGrid;
class Panel;
}
class QWidget;

// The places of the table, the list's panel and the line under the list.
struct WideLayout {
    QRect Table;
    QRect ListPanel;
    QRect UnderList;
};
// Where the spread layout puts them in a client area of `client`: the table from its designed
// top left to the panel's left edge and the client area's bottom, the panel and the line at the
// right edge, at their designed heights; never left of or smaller than designed.
WideLayout SpreadOver(const WideLayout& designed, const QSize& client);

class WideTable : public QObject {
public:
    // The designed places are those the controls have now.
    WideTable(QWidget& client, toolkit::StringGrid& table, toolkit::Panel& listPanel, QWidget& underList);

    void SetSpread(bool spread);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QWidget& client_;
    toolkit::StringGrid& table_;
    toolkit::Panel& listPanel_;
    QWidget& underList_;
    WideLayout designed_;
    bool spread_ = false;
};
