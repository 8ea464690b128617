#include "toolkit/text.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace toolkit {

namespace {

size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One converter per direction, opened on first use and kept for the run.
class Converter {
public:
    Converter(const char* to, const char* from, std::string_view replacement, bool utf8Input)
        : handle_(iconv_open(to, from))
        , replacement_(replacement)
        , utf8Input_(utf8Input)
    {
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // A sequence the converter rejects (or one cut off at the end) becomes the replacement: one
    // input character is skipped, a whole UTF-8 sequence or a single Shift-JIS byte.
    // True when the converter takes all of `in` without a rejected or cut-off sequence.
    bool Accepts(std::string_view in) const
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* source = const_cast<char*>(in.data());
        size_t sourceLeft = in.size();
        char buffer[512];
        while (sourceLeft > 0) {
            char* target = buffer;
            size_t targetLeft = sizeof buffer;
            if (iconv(handle_, &source, &sourceLeft, &target, &targetLeft) == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

    std::string Convert(std::string_view in) const
    {
        std::string out;
        out.reserve(in.size() * 3 / 2 + 4);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* source = const_cast<char*>(in.data());
        size_t sourceLeft = in.size();
        char buffer[512];
        while (sourceLeft > 0) {
            char* target = buffer;
            size_t targetLeft = sizeof buffer;
            size_t result = iconv(handle_, &source, &sourceLeft, &target, &targetLeft);
            out.append(buffer, static_cast<size_t>(target - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                out.append(replacement_);
                size_t skip = utf8Input_ ? Utf8SequenceLength(static_cast<unsigned char>(*source)) : 1;
                skip = std::min(skip, sourceLeft);
                source += skip;
                sourceLeft -= skip;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
    std::string replacement_;
    bool utf8Input_;
};

const Converter& Encoder()
{
    static const Converter converter("CP932", "UTF-8", "?", true);
    return converter;
}

const Converter& Decoder()
{
    static const Converter converter("UTF-8", "CP932", "\xEF\xBF\xBD", false);
    return converter;
}

} // namespace

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

std::string Sjis(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    return Encoder().Convert(utf8);
}

std::string Utf8FromSjis(std::string_view sjis)
{
    if (IsAscii(sjis))
        return std::string(sjis);
    return Decoder().Convert(sjis);
}

bool IsValidSjis(std::string_view sjis) { return IsAscii(sjis) || Decoder().Accepts(sjis); }

size_t LastCharacterStart(std::string_view sjis)
{
    size_t position = 0;
    size_t last = 0;
    while (position < sjis.size()) {
        last = position;
        position += IsLeadByte(static_cast<unsigned char>(sjis[position])) ? 2 : 1;
    }
    return last;
}

} // namespace toolkit
