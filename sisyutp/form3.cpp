#include "sisyutp/form3.h"

#include "app/form1.h"

#include <QPushButton>

TForm3::TForm3(TForm1& owner)
    : QWidget(&owner, Qt::Window)
    , StringGrid1(new toolkit::StringGrid(this, "StringGrid1"))
    , Button1(new QPushButton(this))
    , main_(owner)
{
}
