#include "host/capture_file_name.h"

#include "toolkit/platform/file_system.h"

#include <string_view>

namespace {

std::string GalleryFileStem(std::string_view project_name, std::string_view comp_name, std::string_view timestamp)
{
    std::string stem;
    for (std::string_view part : {project_name, comp_name})
        if (!part.empty())
            stem += FileNameSafe(part) + "_";
    return stem + FileNameSafe(timestamp);
}

}  // namespace

std::string FileNameSafe(std::string_view name)
{
    constexpr std::string_view forbidden = "<>:\"/\\|?*";
    std::string safe(name);
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < 0x20 || forbidden.find(c) != std::string_view::npos)
            c = '_';
    return safe;
}

qzsdk::path UnusedGalleryFilePath(const qzsdk::path& folder, std::string_view project_name,
                                  std::string_view comp_name, std::string_view timestamp,
                                  const std::function<bool(const qzsdk::path&)>& taken)
{
    auto in_use = [&taken](const qzsdk::path& file) {
        return qzsdk::get_file_info(file).exists || (taken && taken(file));
    };
    const std::string stem = GalleryFileStem(project_name, comp_name, timestamp);
    qzsdk::path candidate = folder.join(qzsdk::path::from_utf8(stem)).append_extension("png");
    for (int copy = 2; in_use(candidate); ++copy)
        candidate = folder.join(qzsdk::path::from_utf8(stem + "_" + std::to_string(copy))).append_extension("png");
    return candidate;
}
