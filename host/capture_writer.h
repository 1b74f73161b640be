#pragma once
// Screenshots stored in the capture folder without holding up the host: the PNG is encoded and written on
// the system's thread pool, and the outcome is collected on the user-interface thread at idle.
#include "toolkit/platform/path.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class CaptureWriter {
public:
    struct Finished {
        qzsdk::path file;
        bool written = false;
    };

    CaptureWriter();
    // Waits for the writes still running: their code must not unload under them.
    ~CaptureWriter();
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    // Writes width x height straight B, G, R, A pixels (rows of width x 4 bytes) as a PNG at the file, which
    // is never put over an existing one. The name stays taken (IsPending) until the write is collected.
    void Start(std::vector<uint8_t> pixels, uint32_t width, uint32_t height, const qzsdk::path& file);
    bool IsPending(const qzsdk::path& file) const;
    bool busy() const { return !writes_.empty(); }

    // The writes that have ended, in the order they were started; a later one waits for those before it.
    std::vector<Finished> TakeFinished();
    // Blocks until every write has ended; the outcomes stay to be taken.
    void WaitForAll();

private:
    struct Write;
    std::deque<std::unique_ptr<Write>> writes_;
};
