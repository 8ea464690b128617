// TForm4, the help window: one memo with the built-in help text. It shows itself maximised when
// created and frees itself when closed; nothing keeps a reference to it.
#pragma once

#include "toolkit/controls.h"

#include <QWidget>

class QScrollArea;

// The help text, one Shift-JIS line per entry: 50 lines of text and 9 empty ones.
extern const char* const HelpLines[59];

class TForm4 : public QWidget {
    Q_OBJECT
public:
    // Behind: maximised without taking the activation, as the window made at start.
    enum class Display { Maximised, Behind };

    explicit TForm4(QWidget* owner, Display display = Display::Maximised);

    toolkit::Memo* Memo1;

private:
    void BuildLayout();
    QScrollArea* scrollArea_;
};
