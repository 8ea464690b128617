#include "chert/form5.h"

#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QPushButton>

TForm5::TForm5(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    BuildLayout();
    connect(Button1, &QPushButton::clicked, this, toolkit::Handler(this, &TForm5::Button1Click));
    toolkit::Guard([this] { FormCreate(); });
    showMaximized();
}

void TForm5::BuildLayout()
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("使用状況の分析"));
    setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 12));
    Label1 = new toolkit::Label(this, "Label1");
    Label1->move(128, 8);
    Label1->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 27));
    Label1->SetText(toolkit::Sjis("現　在"));
    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    toolkit::NameControl(Button1, "Button1");
    Button1->setGeometry(416, 8, 265, 33);
    Button1->setFont(toolkit::LayoutFont("ＭＳ Ｐゴシック", 24));
    Label2 = new toolkit::Label(this, "Label2");
    Label2->move(96, 176);
    Label2->setFont(toolkit::LayoutFont("ＭＳ ゴシック", 12));
}

void TForm5::FormCreate() {}

void TForm5::Button1Click() { close(); }
