// SPDX-License-Identifier: GPL-3.0-or-later
#include "lzh_writer.h"

#include "platform/text.h"

#include <ctime>
#include <stdexcept>

namespace kor::testing {

namespace {

void appendLittleEndian(std::string& out, std::uint32_t value, int width) {
    for (int byte = 0; byte < width; ++byte)
        out += static_cast<char>(value >> (8 * byte) & 0xFF);
}

// The position of the last "\" separator of a Shift-JIS name, or npos.
std::size_t lastSeparator(std::string_view name) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (platform::isShiftJisLeadByte(static_cast<unsigned char>(name[at])))
            ++at;
        else if (name[at] == '\\')
            last = at;
    }
    return last;
}

std::string levelZeroHeader(const LzhMember& member) {
    if (member.storedName.size() > 233)
        throw std::invalid_argument("a level 0 header holds at most 233 bytes of name");
    std::string body = member.method;
    appendLittleEndian(body, static_cast<std::uint32_t>(member.data.size()), 4);
    appendLittleEndian(body, static_cast<std::uint32_t>(member.data.size()), 4);
    appendLittleEndian(body, member.dosTime, 2);
    appendLittleEndian(body, member.dosDate, 2);
    body += '\x20'; // archive attribute
    body += '\x00'; // header level
    body += static_cast<char>(member.storedName.size());
    body += member.storedName;
    appendLittleEndian(body, lzhCrc16(member.data), 2);

    unsigned checksum = 0;
    for (const char byte : body)
        checksum += static_cast<unsigned char>(byte);
    std::string header;
    header += static_cast<char>(body.size());
    header += static_cast<char>(checksum & 0xFF);
    return header + body;
}

} // namespace

std::int64_t unixTimeOf(std::uint16_t date, std::uint16_t time) {
    std::tm local{};
    local.tm_year = (date >> 9) + 80;
    local.tm_mon = (date >> 5 & 0x0F) - 1;
    local.tm_mday = date & 0x1F;
    local.tm_hour = time >> 11;
    local.tm_min = time >> 5 & 0x3F;
    local.tm_sec = (time & 0x1F) * 2;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

namespace {

void appendExtendedHeader(std::string& out, char type, std::string_view data) {
    // The size counts the type byte, the data and the next size field.
    appendLittleEndian(out, static_cast<std::uint32_t>(1 + data.size() + 2), 2);
    out += type;
    out += data;
}

std::string levelTwoHeader(const LzhMember& member) {
    const std::size_t separator = lastSeparator(member.storedName);
    const std::string_view name(member.storedName);
    const std::string_view fileName =
        separator == std::string_view::npos ? name : name.substr(separator + 1);

    std::string header = ".." + member.method; // the total size is filled in below
    appendLittleEndian(header, static_cast<std::uint32_t>(member.data.size()), 4);
    appendLittleEndian(header, static_cast<std::uint32_t>(member.data.size()), 4);
    appendLittleEndian(header,
                       static_cast<std::uint32_t>(unixTimeOf(member.dosDate, member.dosTime)), 4);
    header += '\x20';
    header += '\x02'; // header level
    appendLittleEndian(header, lzhCrc16(member.data), 2);
    header += 'M'; // MS-DOS
    appendExtendedHeader(header, '\x01', fileName);
    if (separator != std::string_view::npos) {
        std::string folders;
        std::size_t partStart = 0;
        for (std::size_t at = 0; at <= separator; ++at) {
            if (platform::isShiftJisLeadByte(static_cast<unsigned char>(name[at]))) {
                ++at;
            } else if (name[at] == '\\') {
                folders += name.substr(partStart, at - partStart);
                folders += '\xFF';
                partStart = at + 1;
            }
        }
        appendExtendedHeader(header, '\x02', folders);
    }
    appendLittleEndian(header, 0, 2); // no more extended headers
    // A size whose low byte is 0 would read as the end of the archive.
    if ((header.size() & 0xFF) == 0)
        header += '\x00';
    header[0] = static_cast<char>(header.size() & 0xFF);
    header[1] = static_cast<char>(header.size() >> 8 & 0xFF);
    return header;
}

} // namespace

std::string makeLzhArchive(const std::vector<LzhMember>& members) {
    std::string archive;
    for (const LzhMember& member : members) {
        if (member.headerLevel == 0)
            archive += levelZeroHeader(member);
        else if (member.headerLevel == 2)
            archive += levelTwoHeader(member);
        else
            throw std::invalid_argument("only header levels 0 and 2 are written");
        archive += member.data;
    }
    archive += '\0';
    return archive;
}

std::uint16_t lzhCrc16(std::string_view bytes) {
    unsigned crc = 0;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return static_cast<std::uint16_t>(crc);
}

} // namespace kor::testing
