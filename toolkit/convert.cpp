#include "toolkit/convert.h"

#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace toolkit {

namespace {

QDate todayForTest;

[[noreturn]] void FailWith(std::string_view format, std::string_view text)
{
    std::string message = Sjis(format);
    std::string::size_type placeholder = message.find("%s");
    message.replace(placeholder, 2, std::string(text));
    throw Failure(message);
}

int32_t Checked(int64_t value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw Failure(Sjis("整数オーバーフロー"));
    return static_cast<int32_t>(value);
}

} // namespace

int32_t IntFromText(std::string_view text)
{
    std::optional<int32_t> value = TryIntFromText(text);
    if (!value)
        FailWith("'%s' は整数ではありません", text);
    return *value;
}

std::string TextFromInt(int64_t value) { return std::to_string(value); }

double FloatFromText(std::string_view text)
{
    auto fail = [&] { FailWith("'%s' は浮動小数点数ではありません", text); };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string_view number = text.substr(begin, end - begin);
    size_t i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) {
        ++i;
        ++digits;
    }
    if (i < number.size() && number[i] == '.') {
        ++i;
        while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        fail();
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            fail();
    }
    if (i != number.size())
        fail();
    // from_chars reads the C syntax whatever the process locale; it takes no "+".
    if (!number.empty() && number[0] == '+')
        number.remove_prefix(1);
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

int32_t DivideInt(int32_t dividend, int32_t divisor)
{
    if (divisor == 0)
        throw Failure(Sjis("0 による除算"));
    return Checked(int64_t(dividend) / divisor);
}

double DivideFloat(double dividend, double divisor)
{
    if (divisor == 0.0) {
        if (dividend == 0.0)
            throw Failure(Sjis("不正な浮動小数点数演算命令"));
        throw Failure(Sjis("0 による浮動小数点数除算"));
    }
    return dividend / divisor;
}

int32_t AddAmounts(int32_t a, int32_t b) { return Checked(int64_t(a) + b); }

int32_t SubtractAmounts(int32_t a, int32_t b) { return Checked(int64_t(a) - b); }

std::string TodayText()
{
    QDate day = todayForTest.isValid() ? todayForTest : QDate::currentDate();
    return day.toString(QStringLiteral("yy/MM/dd")).toStdString();
}

void SetTodayForTest(QDate day) { todayForTest = day; }

} // namespace toolkit
