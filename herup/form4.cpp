#include "herup/form4.h"

#include "toolkit/coveredwindow.h"
#include "toolkit/text.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr toolkit::AccessibleName AccessibleNames[] = { { "Memo1", "ヘルプの本文" } };
}

TForm4::TForm4(QWidget* owner, Display display)
    : QWidget(owner, Qt::Window)
{
    BuildLayout();
    setAttribute(Qt::WA_DeleteOnClose);  // FormClose: closing frees the window
    if (display == Display::Behind)
        toolkit::ShowMaximizedBehind(*this, { Memo1 });  // the help text is laid out when first seen
    else
        showMaximized();
}

void TForm4::BuildLayout()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("ヘルプ"));
    resize(552, 466);
    move(240, 102);
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));

    // The window scrolls its client area when it is smaller than the memo.
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    auto* client = new QWidget;
    client->setFixedSize(808, 800);
    Memo1 = new toolkit::Memo(client, "Memo1");
    Memo1->setGeometry(8, 0, 800, 800);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    std::string text;
    for (size_t line = 0; line < std::size(HelpLines); ++line) {
        if (line > 0)
            text += "\r\n";
        text += toolkit::Sjis(HelpLines[line]);
    }
    Memo1->SetText(text);
    scrollArea_->setWidget(client);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea_);
    toolkit::SetAccessibleNames(*this, AccessibleNames);
}
