// Open, Save and Save As of the ledger file.
#include "app/form1.h"

void TForm1::fileopenclick() {}

void TForm1::filesaveclick() {}

void TForm1::SaveAs1Click() {}
