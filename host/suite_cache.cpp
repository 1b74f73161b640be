#include "host/suite_cache.h"

#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"

#include <cstring>

const void* SuiteCache::acquire(const char* name, int32_t version)
{
    for (const Slot& slot : slots_)
        if (slot.version == version && std::strcmp(slot.name, name) == 0)
            return slot.table;
    const void* table = nullptr;
    SPErr error = basic_ ? basic_->AcquireSuite(name, version, &table) : A_Err_MISSING_SUITE;
    if (error != 0 || !table)
        throw qz_exception(qzsdk::format_to_string("The host does not provide the suite \"%s\" version %d.", name,
                                                   static_cast<int>(version)));
    slots_.push_back({name, version, table});
    return table;
}

void SuiteCache::ReleaseAllSuites()
{
    for (const Slot& slot : slots_)
        basic_->ReleaseSuite(slot.name, slot.version);
    slots_.clear();
}
