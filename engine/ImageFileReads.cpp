#include "engine/ImageFileReads.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <fstream>

#include "platform/win/FileNames.h"

namespace {

// Takes size bytes from the budget if it has them.
bool spend(std::atomic<std::size_t>& budget, std::size_t size) {
    std::size_t left = budget.load();
    do {
        if (size > left) return false;
    } while (!budget.compare_exchange_weak(left, left - size));
    return true;
}

// The whole file, or nothing when it is not a plain file (a pipe could keep the reader waiting
// forever), cannot be read, or is more than the budget has left.
std::optional<ImageFileReads::Bytes> readFile(const std::string& path, std::atomic<std::size_t>& budget) {
    const std::string resolved = quorvel::platform::resolveFileName(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(resolved, error)) return std::nullopt;
    std::ifstream in(resolved, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size <= 0 || !spend(budget, static_cast<std::size_t>(size))) return std::nullopt;
    ImageFileReads::Bytes bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

}  // namespace

ImageFileReads::~ImageFileReads() { clear(); }

ImageFileReads::File* ImageFileReads::find(const std::string& path) {
    for (auto& batch : batches_)
        for (auto& file : batch->files)
            if (file->path == path) return file.get();
    return nullptr;
}

void ImageFileReads::start(const std::vector<std::string>& paths) {
    auto batch = std::make_unique<Batch>();
    for (const std::string& path : paths) {
        if (find(path)) continue;
        bool listed = false;
        for (const auto& file : batch->files) listed = listed || file->path == path;
        if (listed) continue;
        auto file = std::make_unique<File>();
        file->path = path;
        file->bytes = file->promise.get_future();
        batch->files.push_back(std::move(file));
    }
    if (batch->files.empty()) return;
    std::vector<File*> files;
    for (auto& file : batch->files) files.push_back(file.get());
    batch->reader = std::async(std::launch::async, [files, &budget = budget_] {
        for (File* file : files) file->promise.set_value(readFile(file->path, budget));
    });
    batches_.push_back(std::move(batch));
}

std::optional<ImageFileReads::Bytes> ImageFileReads::take(const std::string& path) {
    File* file = find(path);
    if (!file || file->taken) return std::nullopt;
    file->taken = true;
    return file->bytes.get();
}

void ImageFileReads::clear() {
    for (auto& batch : batches_)
        if (batch->reader.valid()) batch->reader.wait();
    batches_.clear();
    budget_ = readAheadBytes_;
}
