// The runtime's integer syntax on its own, without a failure: kept apart from convert.cpp, which
// reaches the error box, so that a program without windows can read amounts too.
#include "toolkit/convert.h"

#include <limits>

namespace toolkit {

namespace {

    int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

} // namespace

std::optional<int32_t> TryIntFromText(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int64_t value = 0;
    if (i < text.size() && text[i] == '$') {
        ++i;
        if (i == text.size())
            return std::nullopt;
        for (; i < text.size(); ++i) {
            int digit = HexDigit(text[i]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
            if (value > std::numeric_limits<int32_t>::max())
                return std::nullopt;
        }
        return static_cast<int32_t>(value);
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace toolkit
