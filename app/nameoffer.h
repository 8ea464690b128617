// The names a household used before, offered under a name cell as it is typed into: up to 8 names
// that begin with the text typed so far (statement/namebook.h), each with its last amount. Typing
// on narrows the list; ↓ and ↑ move through it (↓ first highlights the first); Enter or a click
// takes the highlighted name (with none highlighted, Enter ends the entry as before);
// Escape closes it (a second Escape reaches the grid, which gives the cell back its earlier text);
// picking another cell, Tab or leaving the grid closes it. Text still being composed by an input
// method sends no key, so it opens nothing; each commit does.
#pragma once

#include "statement/namebook.h"
#include "toolkit/stringgrid.h"

#include <QListWidget>
#include <functional>
#include <optional>
#include <string>

class NameOffer : public QListWidget {
    Q_OBJECT
public:
    // Where the name is typed: the cell, and its text; none while no name is being typed.
    struct Typing {
        int Col = 0;
        int Row = 0;
        std::string Text;
    };
    using TypingNow = std::function<std::optional<Typing>()>;
    using Take = std::function<void(const statement::OfferedName& offered)>;

    using Offer = std::function<std::vector<statement::OfferedName>(const std::string& typed)>;

    // `offer` gives the names for the text typed; `take` puts the one chosen into the cell.
    NameOffer(QWidget* parent, const char* name, toolkit::StringGrid& grid, TypingNow typingNow, Offer offer, Take take);

    // Opens, narrows or closes the list for the text typed now.
    void Refresh();
    std::vector<statement::OfferedName> Offered() const { return offered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeRow(int row);

    toolkit::StringGrid& grid_;
    TypingNow typingNow_;
    Offer offer_;
    Take take_;
    std::vector<statement::OfferedName> offered_;
};
