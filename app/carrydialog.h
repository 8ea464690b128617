// The automatic bank payments that a new month takes over from the last, and the small dialog in
// which the user picks them: every payment listed and checked, OK (the default button) carries the
// checked ones, キャンセル stops the new month.
#pragma once

#include <string>
#include <vector>

class QWidget;

struct BankPayment {
    int Col;               // the daily table cell whose list holds it
    int Row;
    std::string Name;      // Shift-JIS, with the unbooked mark "Ａ" it gets in the new month
    std::string Amount;
    std::string Category;  // as the daily table shows them
    std::string Day;
};

// Runs the dialog over `payments`; false when the user stopped. On OK, `payments` keeps the
// checked ones only.
bool ChoosePaymentsToCarry(QWidget* owner, std::vector<BankPayment>& payments);
