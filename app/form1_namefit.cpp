// The line under the detail list while a name is typed into it (app/namefit.h).
#include "app/form1.h"

#include "app/namefit.h"

void TForm1::ShowNameFit()
{
    NameBytes1 = new NameFit(centralWidget(), "NameBytes1", *StringGrid5, [this]() -> std::optional<std::string> {
        if (ItemCell.Col != 0 || ItemCell.Row < 1)
            return std::nullopt;
        return StringGrid5->Cell(0, ItemCell.Row);
    });
    NameBytes1->setGeometry(608, 531, 360, 20);  // wider than the panel: the kept text follows the count
}
