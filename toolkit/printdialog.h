// The print dialog: a printer, or a PDF file through the dialog's "print to file". Tests answer it
// through one seam instead of a modal window, as they answer the file dialogs.
#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace toolkit {

// Runs the print dialog on `printer`, which keeps the page set up beforehand unless the user
// changes it; true when the user chose to print.
bool RunPrintDialog(QPrinter& printer, QWidget* owner);

// The answer a test gives instead of the user: it may set up the printer (a PDF file, say) and
// returns whether to print.
using PrintDialogAnswer = std::function<bool(QPrinter& printer)>;
void SetPrintDialogAnswerForTest(PrintDialogAnswer answer);

} // namespace toolkit
