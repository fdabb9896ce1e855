// The image files a show loads, read from disk on a thread of their own while the rest of start-up
// goes on: the plug-in libraries, the device and the font. Only the reading moves; the images are
// still decoded into textures on the device's thread, in the same order as before. A file that
// cannot be read here is just not held, and the image bank then reads it itself and reports what
// is wrong, so what a failure shows does not change.
#pragma once

#include <atomic>
#include <cstddef>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ImageFileReads {
public:
    using Bytes = std::vector<unsigned char>;

    // Read-ahead stops once this much has been read ahead since the last clear, so a show of many
    // large images does not hold them all in memory at once; the rest are read when they load.
    static constexpr std::size_t kReadAheadBytes = std::size_t{256} << 20;

    explicit ImageFileReads(std::size_t readAheadBytes = kReadAheadBytes)
        : readAheadBytes_(readAheadBytes), budget_(readAheadBytes) {}
    // Waits for reading still under way.
    ~ImageFileReads();
    ImageFileReads(const ImageFileReads&) = delete;
    ImageFileReads& operator=(const ImageFileReads&) = delete;

    // Starts reading the files at these paths, in this order, on a thread of its own. A path
    // already asked for is read once.
    void start(const std::vector<std::string>& paths);
    // The bytes of the file at path, once read (waiting for them if need be), handed over once;
    // nothing when the path was not asked for or could not be read.
    std::optional<Bytes> take(const std::string& path);
    // Waits for reading under way and lets go of every file not taken.
    void clear();

private:
    struct File {
        std::string path;
        std::promise<std::optional<Bytes>> promise;
        std::future<std::optional<Bytes>> bytes;
        bool taken = false;
    };
    struct Batch {
        std::vector<std::unique_ptr<File>> files;
        std::future<void> reader;
    };
    File* find(const std::string& path);

    std::vector<std::unique_ptr<Batch>> batches_;
    const std::size_t readAheadBytes_;
    std::atomic<std::size_t> budget_;  // what is left of readAheadBytes_, shared by the readers
};
