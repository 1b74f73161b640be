#pragma once
// A batch save of gallery images into one folder, run on the worker pool. Every target name is chosen on the
// calling thread before the run, so that two sources with one name (a.png and a.jpg saved as PNG) or a file
// already in the folder are never overwritten: later names get " (2)", " (3)", ...
#include "toolkit/platform/path.h"
#include "toolkit/platform/thread_pool.h"

#include <atomic>
#include <cstdint>
#include <vector>

struct SaveJob {
    std::vector<qzsdk::path> sources;
    std::vector<qzsdk::path> targets;
    uint32_t mode = 0;  // 0 byte copy, 1 PNG, 2 JPEG
    std::atomic<uint32_t> failures{0};
};

// Fills the job's targets for its sources, mode and destination folder.
void PlanSaveTargets(SaveJob& job, const qzsdk::path& folder);

// Saves the sources of one slice; a file that fails is counted and the others go on.
void SaveWorker(SaveJob& job, const qzsdk::thread_worker_data& range);

// Decodes the source and writes it in the format (1 PNG, any other JPEG); false on any failure.
bool ReencodeImage(const qzsdk::path& source, const qzsdk::path& target, uint32_t format);
