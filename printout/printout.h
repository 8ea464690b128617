// The month on paper, A4 landscape: page 1 the main window's period and grids (budget and
// progress, money on hand, current status and the daily table of 17 categories × 31 days with
// its totals), page 2 the usage analysis window's date, day line and four charts. Everything is
// drawn as text and lines, so that a PDF keeps the texts searchable and copyable. Reads the
// windows it is given and changes nothing in them.
#pragma once

class QPrinter;
class TForm1;
class TForm5;

namespace printout {

// A4 landscape with 10 mm margins: the page the print dialog offers. The printer is one of
// screen resolution (QPrinter::ScreenResolution), so that the charts, laid out with the screen's
// font metrics, print as they are shown.
void SetUpPage(QPrinter& printer);

// Prints the two pages. `analysis` is an analysis window built for this print, usually hidden.
// Fails when the printer or the PDF file cannot be written.
void PrintMonth(QPrinter& printer, const TForm1& main, TForm5& analysis);

} // namespace printout
