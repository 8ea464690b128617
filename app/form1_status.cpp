// The period, the money on hand, the current status and the budget-and-progress grid.
#include "app/form1.h"

void TForm1::FormActivate() {}

void TForm1::Button2Click() {}

void TForm1::StringGrid1dbClick() {}

void TForm1::StringGrid1Exit() {}

void TForm1::StringGrid3Exit() {}

void TForm1::UpdateDifference() {}

void TForm1::RefreshCalculatedBalance(const std::string&) {}
