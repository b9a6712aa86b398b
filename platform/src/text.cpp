// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <map>
#include <memory>
#include <optional>

namespace kor::platform {
namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter() {
        if (isOpen())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open's failure value is -1 made a handle, as iconv(3) says.
    bool isOpen() const {
        return m_handle != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }

    // The whole of `input` converted, or nothing when a byte sequence is
    // invalid, incomplete or has no counterpart in the target encoding.
    std::optional<std::string> convert(std::string_view input) {
        if (!isOpen())
            return std::nullopt;
        // A converter used before starts again from its initial state.
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::string output(input.size() * 2 + 16, '\0');
        // iconv never writes through its input pointer; the cast only satisfies
        // its C signature.
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t produced = 0;
        while (inLeft > 0) {
            char* out = output.data() + produced;
            std::size_t outLeft = output.size() - produced;
            const std::size_t converted = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            produced = output.size() - outLeft;
            if (converted != static_cast<std::size_t>(-1))
                break;
            if (errno != E2BIG)
                return std::nullopt;
            output.resize(output.size() * 2);
        }
        output.resize(produced);
        return output;
    }

  private:
    iconv_t m_handle;
};

// Well-formed UTF-8: each lead byte followed by the continuation bytes it
// announces, no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (at + length > text.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        at += length;
    }
    return true;
}

char upperAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::optional<std::string> convertText(std::string_view text, const char* to, const char* from) {
    // Opening a converter costs more than most conversions; each pair is
    // opened once for each thread.
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> open;
    std::unique_ptr<Converter>& converter = open[{to, from}];
    if (!converter)
        converter = std::make_unique<Converter>(to, from);
    return converter->convert(text);
}

namespace {

// ASCII reads the same in CP932 and UTF-8, and most names are ASCII alone.
bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

Result<std::string> fromCp932(std::string_view cp932) {
    if (isAscii(cp932))
        return std::string(cp932);
    // Opened once for each thread: opening costs more than converting a name.
    thread_local Converter converter("UTF-8", "CP932");
    if (auto utf8 = converter.convert(cp932))
        return std::move(*utf8);
    return Error(Operation::DecodeText, "", EILSEQ, "invalid or incomplete byte sequence");
}

Result<std::string> toCp932(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    if (auto cp932 = converter.convert(utf8))
        return std::move(*cp932);
    return Error(Operation::EncodeText, "", EILSEQ, "a character has no CP932 code");
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), upperAsciiLetter);
    return upper;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upperAsciiLetter(x) == upperAsciiLetter(y); });
}

std::string escapeControlCharacters(std::string_view text, LineBreaks lineBreaks) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const bool keptBreak = byte == '\n' && lineBreaks == LineBreaks::Keep;
        if ((byte < 0x20 && !keptBreak) || byte == 0x7F) {
            escaped += "\\x";
            escaped += hex[byte >> 4];
            escaped += hex[byte & 0xF];
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escaped += "\\u00";
            escaped += hex[next >> 4];
            escaped += hex[next & 0xF];
            ++i;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

bool isShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t characterLength(std::string_view text, std::size_t at, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932)
        return isShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2
                                                                                                : 1;
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

std::string shortenedForReport(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes)
        return std::string(text);
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(text.substr(0, cut)) + "...";
}

std::string nameOfHostFile(std::string_view hostName) {
    if (isValidUtf8(hostName))
        return std::string(hostName);
    if (Result<std::string> decoded = fromCp932(hostName))
        return std::move(decoded).value();
    return std::string(hostName);
}

} // namespace kor::platform
