// SPDX-License-Identifier: GPL-3.0-or-later
#include "lhasa_archive.h"
#include "operations.h"

#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::unlha32 {

platform::Result<std::unique_ptr<LhasaArchive>> LhasaArchive::open(std::string_view windowsPath) {
    std::unique_ptr<LhasaArchive> archive(new LhasaArchive);
    platform::Result<int> descriptor = platform::openFileForReading(windowsPath);
    if (!descriptor)
        return descriptor.error().retold(operation::Open, std::string(windowsPath));
    archive->m_file.reset(::fdopen(descriptor.value(), "rb"));
    if (!archive->m_file) {
        const int error = errno;
        ::close(descriptor.value());
        return platform::Error(operation::Open, std::string(windowsPath), error);
    }
    if (!archive->startReader())
        return platform::Error(operation::Open, std::string(windowsPath), ENOMEM);
    return archive;
}

bool LhasaArchive::startReader() {
    static const LHAInputStreamType streamType = {
        .read = &LhasaArchive::readCallback,
        .skip = &LhasaArchive::skipCallback,
        .close = &LhasaArchive::closeCallback,
    };
    m_reader.reset();
    m_stream.reset(lha_input_stream_new(&streamType, this));
    if (m_stream)
        m_reader.reset(lha_reader_new(m_stream.get()));
    if (!m_reader)
        return false;
    lha_reader_set_dir_policy(m_reader.get(), LHA_READER_DIR_PLAIN);
    return true;
}

bool LhasaArchive::restartAt(std::uint64_t offset) {
    m_decoder.reset();
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
        fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    m_position = offset;
    return startReader();
}

LhasaArchive::~LhasaArchive() = default;

std::uint64_t LhasaArchive::size() const {
    struct stat info {};
    return ::fstat(::fileno(m_file.get()), &info) == 0 ? static_cast<std::uint64_t>(info.st_size)
                                                       : 0;
}

LHAFileHeader* LhasaArchive::nextHeader() {
    if (m_decoder) {
        m_decoder.reset();
        if (fseeko(m_file.get(), static_cast<off_t>(m_position), SEEK_SET) != 0)
            return nullptr;
    }
    return lha_reader_next_file(m_reader.get());
}

bool LhasaArchive::startDecoding(const LHAFileHeader& header) {
    m_decoder.reset();
    if (fseeko(m_file.get(), static_cast<off_t>(m_position), SEEK_SET) != 0)
        return false;
    std::string method(header.compress_method);
    LHADecoderType* type = lha_decoder_for_name(method.data());
    if (type == nullptr)
        return false;
    m_compressedLeft = header.compressed_length;
    m_decoder.reset(lha_decoder_new(type, &LhasaArchive::decoderCallback, this, header.length));
    return m_decoder != nullptr;
}

std::size_t LhasaArchive::decode(std::span<char> buffer) {
    return lha_decoder_read(m_decoder.get(), reinterpret_cast<std::uint8_t*>(buffer.data()),
                            buffer.size());
}

size_t LhasaArchive::decoderCallback(void* buffer, size_t length, void* handle) {
    auto* archive = static_cast<LhasaArchive*>(handle);
    const std::size_t wanted = std::min<std::uint64_t>(length, archive->m_compressedLeft);
    const std::size_t count = std::fread(buffer, 1, wanted, archive->m_file.get());
    archive->m_compressedLeft -= count;
    return count;
}

std::optional<std::uint8_t> LhasaArchive::byteAt(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
        fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return std::nullopt;
    const int byte = std::fgetc(m_file.get());
    if (byte == EOF)
        return std::nullopt;
    return static_cast<std::uint8_t>(byte);
}

int LhasaArchive::readCallback(void* handle, void* buffer, size_t length) {
    auto* archive = static_cast<LhasaArchive*>(handle);
    const std::size_t count = std::fread(buffer, 1, length, archive->m_file.get());
    if (count == 0 && std::ferror(archive->m_file.get()) != 0)
        return -1;
    archive->m_position += count;
    return static_cast<int>(count);
}

int LhasaArchive::skipCallback(void* handle, size_t length) {
    auto* archive = static_cast<LhasaArchive*>(handle);
    if (length > static_cast<std::size_t>(std::numeric_limits<off_t>::max()) ||
        fseeko(archive->m_file.get(), static_cast<off_t>(length), SEEK_CUR) != 0)
        return 0;
    archive->m_position += length;
    return 1;
}

// The file belongs to the LhasaArchive, which closes it after the stream.
void LhasaArchive::closeCallback(void*) {}

} // namespace kor::unlha32
