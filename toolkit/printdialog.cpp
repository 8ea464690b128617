#include "toolkit/printdialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace toolkit {

namespace {
PrintDialogAnswer testAnswer;
}

bool RunPrintDialog(QPrinter& printer, QWidget* owner)
{
    if (testAnswer)
        return testAnswer(printer);
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    // The month is printed whole: no page range, no selection.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

void SetPrintDialogAnswerForTest(PrintDialogAnswer answer)
{
    testAnswer = std::move(answer);
}

} // namespace toolkit
