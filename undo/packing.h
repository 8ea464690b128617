// Several values packed into one text and read back in the same order, for the values a Recorder
// watches (an entry text with what Escape gives back, the entry cells).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace undo {

class Packing {
public:
    Packing& Int(int32_t value)
    {
        text_.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    Packing& Text(std::string_view value)
    {
        Int(int32_t(value.size()));
        text_.append(value);
        return *this;
    }
    std::string Packed() && { return std::move(text_); }

private:
    std::string text_;
};

class Unpacking {
public:
    explicit Unpacking(const std::string& packed)
        : packed_(packed)
    {
    }
    int32_t Int()
    {
        int32_t value;
        std::memcpy(&value, packed_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    std::string Text()
    {
        size_t size = size_t(Int());
        std::string value = packed_.substr(at_, size);
        at_ += size;
        return value;
    }

private:
    const std::string& packed_;
    size_t at_ = 0;
};

} // namespace undo
