#pragma once
// Makes the gallery's pictures on background threads: thumbnails (from the disk cache, or decoded and scaled
// from the file and then cached) and preview cells (decoded at the cell's size, or at full size). The window
// says which pictures it wants, most urgent first, whenever its view changes; requests not yet started are
// replaced, so scrolling away from a part of the list stops its work. The cache store is opened once for each
// burst of work and closed when the loader falls idle, so that nothing holds its files between bursts.
#include "gallery/capture_decoder.h"
#include "toolkit/platform/cache_store.h"
#include "toolkit/platform/path.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class PictureLoader {
public:
    enum class Purpose : uint32_t { thumbnail, cell, full };
    struct Request {
        Purpose purpose = Purpose::thumbnail;
        qzsdk::path file;
        int64_t time = 0;  // thumbnails: the file's last-write time, part of the cache entry
        PixelSize box;     // cells: the size to fit inside
        uint64_t tag = 0;  // the caller's own mark, handed back with the result
        bool operator==(const Request&) const = default;
    };
    struct Result {
        Request request;
        DecodedCapture decoded;
    };

    // An empty store file keeps no cache.
    PictureLoader(qzsdk::path store_file, uint32_t thread_count);
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    void Want(std::vector<Request> wanted);
    std::vector<Result> TakeResults();
    // Waits until nothing is queued or being made (tests and benchmarks).
    void WaitUntilIdle();
    bool Idle();

private:
    friend class GalleryWindowTestApi;

    void Work();
    DecodedCapture MakeThumbnail(const Request& request);
    // Under the store's lock.
    bool OpenStore();
    DecodedCapture FindCached(const std::string& key, int64_t time);
    void StoreCached(const std::string& key, int64_t time, qzsdk::ui::image& picture);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Request> queue_;
    std::vector<Request> running_;
    std::vector<Result> results_;
    bool stop_ = false;

    std::mutex store_mutex_;
    qzsdk::path store_file_;
    qzsdk::cache_store store_;
    bool store_open_ = false;

    std::vector<std::thread> threads_;
};
