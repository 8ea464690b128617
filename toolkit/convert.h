// The runtime's conversions between text and numbers, its checked arithmetic and today's date,
// with the runtime's syntax and messages. Every failure is a toolkit::Failure.
#pragma once

#include <QDate>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

// Optional leading blanks, then an optional sign and ASCII digits, or "$" and hex digits;
// nothing after; -2147483648 to 2147483647. Otherwise fails with "'%s' は整数ではありません".
int32_t IntFromText(std::string_view text);
// The same syntax without a failure: nothing when IntFromText would fail.
std::optional<int32_t> TryIntFromText(std::string_view text);

// Decimal, "-" when negative, no leading zeros or blanks.
std::string TextFromInt(int64_t value);

// Optional blanks around, sign, digits with an optional decimal point, optional exponent.
// Otherwise fails with "'%s' は浮動小数点数ではありません".
double FloatFromText(std::string_view text);

// Integer division truncating toward zero; fails with "0 による除算" on a zero divisor.
int32_t DivideInt(int32_t dividend, int32_t divisor);

// Floating division; fails with "0 による浮動小数点数除算", or "不正な浮動小数点数演算命令"
// for zero by zero.
double DivideFloat(double dividend, double divisor);

// Sums and differences of amounts that leave the signed 32-bit range fail with
// "整数オーバーフロー" instead of wrapping.
int32_t AddAmounts(int32_t a, int32_t b);
int32_t SubtractAmounts(int32_t a, int32_t b);

// Today's local date as yy/mm/dd. Tests set the day through the seam.
std::string TodayText();
void SetTodayForTest(QDate day);

} // namespace toolkit
