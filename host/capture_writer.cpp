#include "host/capture_writer.h"

#include "toolkit/platform/atomic_write.h"
#include "toolkit/platform/background_task.h"
#include "toolkit/ui/png_encoder.h"

#include <windows.h>

struct CaptureWriter::Write {
    qzsdk::path file;
    std::vector<uint8_t> pixels;
    uint32_t width = 0;
    uint32_t height = 0;
    bool written = false;  // set by the task before it ends
    std::unique_ptr<qzsdk::background_task> task;

    void Run()
    {
        const std::vector<uint8_t> png =
            qzsdk::ui::encode_png_fast({pixels.data(), width, height, width * 4}, qzsdk::ui::png_strip_count_for_machine());
        std::vector<uint8_t>().swap(pixels);
        written = !png.empty() &&
                  qzsdk::write_file_atomically(file, {reinterpret_cast<const char*>(png.data()), png.size()},
                                               qzsdk::existing_target::keep);
    }
};

CaptureWriter::CaptureWriter() = default;

CaptureWriter::~CaptureWriter()
{
    WaitForAll();
}

void CaptureWriter::Start(std::vector<uint8_t> pixels, uint32_t width, uint32_t height, const qzsdk::path& file)
{
    auto write = std::make_unique<Write>();
    write->file = file;
    write->pixels = std::move(pixels);
    write->width = width;
    write->height = height;
    Write* running = write.get();
    writes_.push_back(std::move(write));
    try {
        running->task = std::make_unique<qzsdk::background_task>([running] { running->Run(); });
    } catch (...) {
        writes_.pop_back();
        throw;
    }
}

bool CaptureWriter::IsPending(const qzsdk::path& file) const
{
    for (const auto& write : writes_)
        if (_wcsicmp(write->file.c_str(), file.c_str()) == 0)
            return true;
    return false;
}

std::vector<CaptureWriter::Finished> CaptureWriter::TakeFinished()
{
    std::vector<Finished> finished;
    while (!writes_.empty() && writes_.front()->task->wait(0)) {
        finished.push_back({writes_.front()->file, writes_.front()->written});
        writes_.pop_front();
    }
    return finished;
}

void CaptureWriter::WaitForAll()
{
    for (const auto& write : writes_)
        write->task->wait(INFINITE);
}
