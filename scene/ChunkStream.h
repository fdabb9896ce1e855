// Little-endian reading of a 3D Studio file with absolute seeks.
//
// A file is read through a 64 KiB window, so the many small reads of a scene cost a copy out of
// memory rather than a library call each; a byte buffer in memory is read the same way without
// any copying of its own. A read limit (the end of the chunk being handled) keeps every reader
// inside its chunk: a read that would cross the limit fails, returns nothing and leaves the
// stream at the limit, as a stream at its end would be.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quorvel {

class ChunkStream {
public:
    ChunkStream() = default;
    ChunkStream(const ChunkStream&) = delete;
    ChunkStream& operator=(const ChunkStream&) = delete;
    ~ChunkStream() { close(); }

    // Opens a file in binary mode; false when it cannot be opened.
    bool openFile(const std::string& path);
    // Reads from bytes owned by the caller, which must outlive the reading.
    void openMemory(const std::uint8_t* data, std::size_t size);
    void close();

    std::uint64_t size() const { return size_; }
    std::uint64_t position() const { return pos_; }
    std::uint64_t limit() const { return limit_; }
    std::uint64_t remaining() const { return limit_ > pos_ ? limit_ - pos_ : 0; }
    // Reads stop at min(end, size).
    void setLimit(std::uint64_t end) { limit_ = end < size_ ? end : size_; }
    void seek(std::uint64_t pos) { pos_ = pos < size_ ? pos : size_; }
    void skip(std::uint64_t count) { seek(count < remaining() ? pos_ + count : limit_); }

    bool read(void* out, std::size_t count) {
        if (count > remaining()) {
            pos_ = limit_;
            return false;
        }
        if (pos_ >= windowStart_ && pos_ + count <= windowStart_ + windowSize_) {
            std::memcpy(out, window_ + (pos_ - windowStart_), count);
            pos_ += count;
            return true;
        }
        return readThroughFile(static_cast<std::uint8_t*>(out), count);
    }

    bool readU8(std::uint8_t& out) { return read(&out, 1); }
    bool readU16(std::uint16_t& out) {
        std::uint8_t b[2];
        if (!read(b, 2)) return false;
        out = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
        return true;
    }
    bool readI16(std::int16_t& out) {
        std::uint16_t u;
        if (!readU16(u)) return false;
        out = static_cast<std::int16_t>(u);
        return true;
    }
    bool readU32(std::uint32_t& out) {
        std::uint8_t b[4];
        if (!read(b, 4)) return false;
        out = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
              (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    }
    bool readI32(std::int32_t& out) {
        std::uint32_t u;
        if (!readU32(u)) return false;
        out = static_cast<std::int32_t>(u);
        return true;
    }
    bool readFloat(float& out) {
        std::uint32_t u;
        if (!readU32(u)) return false;
        std::memcpy(&out, &u, sizeof out);
        return true;
    }
    // Bytes up to a NUL (consumed, not stored) or up to the limit, whichever comes first.
    std::string readString();

private:
    bool readThroughFile(std::uint8_t* out, std::size_t count);
    bool fillWindow();

    static constexpr std::size_t kWindowBytes = 64 * 1024;

    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> fileWindow_;
    const std::uint8_t* window_ = nullptr;  // bytes of the file from windowStart_ on
    std::uint64_t windowStart_ = 0;
    std::uint64_t windowSize_ = 0;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t limit_ = 0;
};

}  // namespace quorvel
