#include "scene/ChunkStream.h"

#include <sys/types.h>

namespace quorvel {

bool ChunkStream::openFile(const std::string& path) {
    close();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    if (fseeko(f, 0, SEEK_END) != 0) {
        std::fclose(f);
        return false;
    }
    const off_t end = ftello(f);
    if (end < 0) {
        std::fclose(f);
        return false;
    }
    file_ = f;
    size_ = static_cast<std::uint64_t>(end);
    limit_ = size_;
    pos_ = 0;
    fileWindow_.resize(kWindowBytes);
    window_ = fileWindow_.data();
    windowStart_ = 0;
    windowSize_ = 0;
    return true;
}

void ChunkStream::openMemory(const std::uint8_t* data, std::size_t size) {
    close();
    window_ = data;
    windowStart_ = 0;
    windowSize_ = data ? size : 0;
    size_ = windowSize_;
    limit_ = size_;
    pos_ = 0;
}

void ChunkStream::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    fileWindow_.clear();
    fileWindow_.shrink_to_fit();
    window_ = nullptr;
    windowStart_ = windowSize_ = size_ = pos_ = limit_ = 0;
}

bool ChunkStream::fillWindow() {
    if (!file_ || fseeko(file_, static_cast<off_t>(pos_), SEEK_SET) != 0) return false;
    const std::size_t got = std::fread(fileWindow_.data(), 1, fileWindow_.size(), file_);
    windowStart_ = pos_;
    windowSize_ = got;
    return got > 0;
}

bool ChunkStream::readThroughFile(std::uint8_t* out, std::size_t count) {
    while (count > 0) {
        if (pos_ < windowStart_ || pos_ >= windowStart_ + windowSize_) {
            if (!fillWindow()) {
                // The file shrank under us or cannot be read: behave as at its end.
                pos_ = limit_;
                return false;
            }
        }
        const std::uint64_t available = windowStart_ + windowSize_ - pos_;
        const std::size_t take = count < available ? count : static_cast<std::size_t>(available);
        std::memcpy(out, window_ + (pos_ - windowStart_), take);
        out += take;
        pos_ += take;
        count -= take;
    }
    return true;
}

std::string ChunkStream::readString() {
    std::string text;
    std::uint8_t c;
    while (remaining() > 0 && read(&c, 1) && c != 0) text.push_back(static_cast<char>(c));
    return text;
}

}  // namespace quorvel
