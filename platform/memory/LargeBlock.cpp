#include "platform/memory/LargeBlock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <utility>

namespace quorvel::platform {
namespace {

std::size_t pageRounded(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

LargeBlock LargeBlock::allocate(std::size_t bytes) {
    LargeBlock block;
    if (bytes == 0) return block;
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return block;
    // A request, not a demand: kernels without huge pages on request refuse it and the block
    // simply stays in small pages.
    (void)madvise(memory, bytes, MADV_HUGEPAGE);
    block.data_ = memory;
    block.size_ = bytes;
    return block;
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

LargeBlock::~LargeBlock() { release(); }

void LargeBlock::shrink(std::size_t bytes) {
    if (!data_ || bytes >= size_) return;
    if (bytes == 0) {
        release();
        return;
    }
    // Whole pages past the kept bytes go back; the page holding the last kept byte stays.
    const std::size_t kept = pageRounded(bytes);
    const std::size_t mapped = pageRounded(size_);
    if (kept < mapped) munmap(static_cast<char*>(data_) + kept, mapped - kept);
    size_ = bytes;
}

void LargeBlock::release() {
    if (data_) munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace quorvel::platform
