#include "gallery/gallery_save_job.h"

#include "gallery/capture_decoder.h"
#include "toolkit/platform/file_system.h"
#include "toolkit/ui/image_handle.h"

#include <set>
#include <string>

void PlanSaveTargets(SaveJob& job, const qzsdk::path& folder)
{
    std::set<std::wstring> taken;
    job.targets.clear();
    for (const qzsdk::path& source : job.sources) {
        const qzsdk::path stem = source.file_name(false);
        const std::string extension = job.mode == 1 ? "png" : job.mode == 2 ? "jpg" : source.extension();
        qzsdk::path target;
        for (uint32_t n = 1;; ++n) {
            const qzsdk::path name = n == 1 ? stem : qzsdk::path(stem.wide() + L" (" + std::to_wstring(n) + L")");
            target = folder.join(extension.empty() ? name : name.append_extension(extension));
            if (!taken.count(target.wide()) && !qzsdk::get_file_info(target).exists)
                break;
        }
        taken.insert(target.wide());
        job.targets.push_back(target);
    }
}

bool ReencodeImage(const qzsdk::path& source, const qzsdk::path& target, uint32_t format)
{
    try {
        // Through the structure check: a damaged capture is an unreadable file here too.
        DecodedCapture decoded = DecodeCaptureFile(source, [](PixelSize full) { return full; });
        return decoded.picture && decoded.picture->save_to_file(target.wide(), format);
    } catch (const std::exception&) {
        return false;
    }
}

void SaveWorker(SaveJob& job, const qzsdk::thread_worker_data& range)
{
    for (uint32_t i = range.first; i < range.end && i < job.sources.size(); ++i) {
        const bool saved = job.mode == 0 ? qzsdk::copy_file(job.sources[i], job.targets[i])
                                         : ReencodeImage(job.sources[i], job.targets[i], job.mode);
        if (!saved)
            job.failures.fetch_add(1);
    }
}
