#include "gallery/picture_loader.h"

#include "gallery/thumbnail_cache.h"
#include "toolkit/platform/file_system.h"

#include <objbase.h>

#include <algorithm>

PictureLoader::PictureLoader(qzsdk::path store_file, uint32_t thread_count) : store_file_(std::move(store_file))
{
    for (uint32_t i = 0; i < std::max(thread_count, 1u); ++i)
        threads_.emplace_back([this] { Work(); });
}

PictureLoader::~PictureLoader()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void PictureLoader::Want(std::vector<Request> wanted)
{
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        for (Request& request : wanted)
            if (std::find(running_.begin(), running_.end(), request) == running_.end())
                queue_.push_back(std::move(request));
    }
    wake_.notify_all();
}

std::vector<PictureLoader::Result> PictureLoader::TakeResults()
{
    std::lock_guard lock(mutex_);
    return std::move(results_);
}

void PictureLoader::WaitUntilIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && running_.empty(); });
}

bool PictureLoader::Idle()
{
    std::lock_guard lock(mutex_);
    return queue_.empty() && running_.empty();
}

void PictureLoader::Work()
{
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            break;
        Request request = std::move(queue_.front());
        queue_.pop_front();
        running_.push_back(request);
        lock.unlock();
        Result result{request, {}};
        try {
            if (request.purpose == Purpose::thumbnail)
                result.decoded = MakeThumbnail(request);
            else
                result.decoded = DecodeCaptureFile(request.file, [&](PixelSize full) {
                    return request.purpose == Purpose::full ? full : FitInside(full, request.box);
                });
        } catch (const std::exception&) {
            result.decoded = {};
        }
        lock.lock();
        running_.erase(std::find(running_.begin(), running_.end(), request));
        results_.push_back(std::move(result));
        if (queue_.empty() && running_.empty()) {
            {
                std::lock_guard store_lock(store_mutex_);
                store_.close();
                store_open_ = false;
            }
            idle_.notify_all();
        }
    }
    lock.unlock();
    if (SUCCEEDED(apartment))
        CoUninitialize();
}

DecodedCapture PictureLoader::MakeThumbnail(const Request& request)
{
    const std::string key = request.file.to_utf8();
    DecodedCapture made = FindCached(key, request.time);
    if (made.picture)
        return made;
    made = DecodeCaptureFile(request.file, [](PixelSize full) {
        const float height = float(ThumbnailCache::thumbnail_width) * float(full.height) / float(full.width);
        return PixelSize{ThumbnailCache::thumbnail_width,
                         std::clamp(uint32_t(height), 1u, ThumbnailCache::tallest_thumbnail)};
    });
    if (made.picture)
        StoreCached(key, request.time, *made.picture);
    return made;
}

bool PictureLoader::OpenStore()
{
    if (store_file_.empty())
        return false;
    if (!store_open_) {
        // The store makes its files but not the folder they live in.
        qzsdk::create_directories(store_file_.parent());
        store_.open(store_file_);
        store_open_ = true;
    }
    return true;
}

DecodedCapture PictureLoader::FindCached(const std::string& key, int64_t time)
{
    std::vector<uint8_t> encoded;
    {
        std::lock_guard lock(store_mutex_);
        if (!OpenStore())
            return {};
        const qzsdk::cache_store::blob found = store_.find(key);
        if (auto picture = ThumbnailCache::PictureOf(found.data, found.size, time))
            encoded.assign(picture->begin(), picture->end());
    }
    // Only a picture of the width thumbnails are made at and a sane height is a hit.
    return DecodeCaptureBytes(encoded.data(), encoded.size(), [](PixelSize full) {
        const bool sound = full.width == ThumbnailCache::thumbnail_width && full.height >= 1 &&
                           full.height <= ThumbnailCache::tallest_thumbnail;
        return sound ? full : PixelSize{};
    });
}

void PictureLoader::StoreCached(const std::string& key, int64_t time, qzsdk::ui::image& picture)
{
    const std::vector<uint8_t> encoded = picture.encode(qzsdk::ui::image_format_jpeg);
    if (encoded.empty())
        return;
    const std::vector<uint8_t> value = ThumbnailCache::MakeValue(time, encoded);
    std::lock_guard lock(store_mutex_);
    if (OpenStore())
        store_.store(key, value.size(), value.data());
}
