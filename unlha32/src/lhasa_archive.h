// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

extern "C" {
#include <lha_reader.h>
}

namespace kor::unlha32 {

// An LZH archive read through lhasa. The position in the file is followed
// through lhasa's reads and skips, so that the caller can tell where the
// last member's data ends: lhasa reports the end of an archive and a damaged
// header alike, as "no more headers".
class LhasaArchive {
  public:
    // Opens the archive at a path of the machine (a host file, or a file in
    // a disk image).
    static platform::Result<std::unique_ptr<LhasaArchive>> open(std::string_view windowsPath);

    LhasaArchive(const LhasaArchive&) = delete;
    LhasaArchive& operator=(const LhasaArchive&) = delete;
    ~LhasaArchive();

    // The next header, valid until the next call; nullptr at the end of the
    // archive or at a header that cannot be read. Every header is returned
    // once, directories and symbolic links included.
    LHAFileHeader* nextHeader();

    // Reads on from `offset` as from a fresh start: the next header is the one
    // found there (at 0, after a self-extractor's program). False when the
    // file cannot be positioned there.
    bool restartAt(std::uint64_t offset);

    // The length of the file.
    std::uint64_t size() const;

    // The offset in the file just after what lhasa has consumed; after
    // nextHeader() that is where the member's data starts.
    std::uint64_t position() const { return m_position; }

    // Starts decoding the data of the member whose header nextHeader()
    // returned last, exactly as stored: lhasa's reader would take the
    // MacBinary header off the members of Classic Mac OS archives, although
    // the header's length and CRC count it. False when lhasa has no decoder
    // for the member's method.
    bool startDecoding(const LHAFileHeader& header);
    // More of the decoded data; 0 at its end.
    std::size_t decode(std::span<char> buffer);

    // The byte at `offset` of the file, or nothing beyond its end. Only for
    // use once lhasa has finished with the file.
    std::optional<std::uint8_t> byteAt(std::uint64_t offset);

  private:
    LhasaArchive() = default;

    // A stream and reader over the file from its current position.
    bool startReader();

    static int readCallback(void* handle, void* buffer, size_t length);
    static int skipCallback(void* handle, size_t length);
    static void closeCallback(void* handle);
    static size_t decoderCallback(void* buffer, size_t length, void* handle);

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    struct StreamFree {
        void operator()(LHAInputStream* stream) const { lha_input_stream_free(stream); }
    };
    struct ReaderFree {
        void operator()(LHAReader* reader) const { lha_reader_free(reader); }
    };
    struct DecoderFree {
        void operator()(LHADecoder* decoder) const { lha_decoder_free(decoder); }
    };

    // Destroyed in reverse order: the reader before its stream, the stream
    // before the file it reads.
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::unique_ptr<LHAInputStream, StreamFree> m_stream;
    std::unique_ptr<LHAReader, ReaderFree> m_reader;
    std::uint64_t m_position = 0;
    // The member being decoded reads the file behind lhasa's back, from
    // m_position on; the file is put back there before the next header.
    std::unique_ptr<LHADecoder, DecoderFree> m_decoder;
    std::uint64_t m_compressedLeft = 0;
};

} // namespace kor::unlha32
