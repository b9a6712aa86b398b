// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_harness.h"

#include "disk_image.h"
#include "fat_reader.h"
#include "mtools.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace kor::fuzz {

int runImageInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 0x80) {
        const std::size_t split = std::min(bytes.find('\0'), bytes.size());
        const std::string_view attributes =
            split < bytes.size() ? bytes.substr(split + 1) : std::string_view();
        for (const diskimage::mtools::Entry& entry :
             diskimage::mtools::parseListing(bytes.substr(0, split), attributes))
            if (entry.carrier.empty() || entry.carrier == "." || entry.carrier == "..")
                std::abort();
        return 0;
    }
    const diskimage::ImageReader read = [&](std::uint64_t offset, std::size_t length) {
        if (offset >= bytes.size())
            return std::string();
        return std::string(bytes.substr(offset, length));
    };
    const auto volume = diskimage::findImageVolume(read, bytes.size(), data[0] & 0x07, "fuzz.img");
    if (volume && (volume.value().offset > bytes.size() ||
                   volume.value().length > bytes.size() - volume.value().offset))
        std::abort();
    // The check before a change reads whatever the volume holds; it must end,
    // and a fault it finds must name what it concerns.
    if (volume)
        for (const diskimage::FatFault& fault : diskimage::checkFatVolume(read, volume.value()))
            if (fault.english().empty() || fault.userText().empty())
                std::abort();
    return 0;
}

} // namespace kor::fuzz
