// The daily expense table and its detail lists.
#include "app/form1.h"

void TForm1::StringGrid4DblClick() {}

void TForm1::Button1Click() {}
