#include "app/nameoffer.h"

#include "toolkit/controls.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QKeyEvent>

NameOffer::NameOffer(QWidget* parent, const char* name, toolkit::StringGrid& grid, TypingNow typingNow, Offer offer, Take take)
    : QListWidget(parent)
    , grid_(grid)
    , typingNow_(std::move(typingNow))
    , offer_(std::move(offer))
    , take_(std::move(take))
{
    toolkit::NameControl(this, name);
    setAccessibleName(QStringLiteral("前に使った名前"));
    setFocusPolicy(Qt::NoFocus);  // the keys stay with the grid
    setFrameShape(QFrame::Box);
    hide();
    grid.installEventFilter(this);
    // After the window's own handlers have typed the key or moved the entry cell.
    connect(&grid, &toolkit::StringGrid::KeyPress, this, &NameOffer::Refresh, Qt::QueuedConnection);
    connect(&grid, &toolkit::StringGrid::SelectCell, this, &QWidget::hide);
    connect(&grid, &toolkit::StringGrid::Exit, this, &QWidget::hide);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { TakeRow(row(item)); });
}

void NameOffer::Refresh()
{
    std::optional<Typing> typing = grid_.hasFocus() ? typingNow_() : std::nullopt;
    // A double-byte character arrives in two keys: its first alone is no text yet.
    if (!typing || typing->Text.empty() || !toolkit::IsValidSjis(typing->Text)) {
        if (typing && !typing->Text.empty())
            return;
        hide();
        return;
    }
    offered_ = offer_(typing->Text);
    if (offered_.empty()) {
        hide();
        return;
    }
    clear();
    for (const statement::OfferedName& offered : offered_)
        addItem(toolkit::FromSjis(offered.Name)
            + (offered.Amount.empty() ? QString() : QStringLiteral("　") + toolkit::FromSjis(offered.Amount)));
    setCurrentRow(-1);  // ↓ highlights the first
    QRect cell = grid_.CellRect(typing->Col, typing->Row);
    QPoint below = grid_.viewport()->mapTo(parentWidget(), cell.bottomLeft());
    int rowHeight = sizeHintForRow(0);
    setGeometry(below.x(), below.y() + 1, std::max(cell.width() * 2, 200), rowHeight * count() + 2 * frameWidth());
    show();
    raise();
}

bool NameOffer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &grid_ || event->type() != QEvent::KeyPress || !isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Down:
        setCurrentRow((currentRow() + 1) % count());
        return true;
    case Qt::Key_Up:
        setCurrentRow(currentRow() <= 0 ? count() - 1 : currentRow() - 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow() < 0) {  // nothing highlighted: Enter ends the entry, as without the list
            hide();
            return false;
        }
        TakeRow(currentRow());
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        hide();
        return false;
    default:
        return false;
    }
}

void NameOffer::TakeRow(int row)
{
    if (row < 0 || size_t(row) >= offered_.size())
        return;
    statement::OfferedName chosen = offered_[size_t(row)];
    hide();
    take_(chosen);
}
