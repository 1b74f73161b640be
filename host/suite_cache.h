#pragma once
#include "host/sdk/host_types.h"

#include <cstdint>
#include <vector>

// The host suites one operation uses: each is acquired on first use and all are released when the
// operation ends (the cache goes out of scope), so no suite stays checked out between host calls.
class SuiteCache {
public:
    explicit SuiteCache(SPBasicSuite* basic) : basic_(basic) {}
    ~SuiteCache() { ReleaseAllSuites(); }
    SuiteCache(const SuiteCache&) = delete;
    SuiteCache& operator=(const SuiteCache&) = delete;

    // Throws qz_exception naming the suite and version when the host does not provide it.
    template <class Suite>
    const Suite& get()
    {
        return *static_cast<const Suite*>(acquire(Suite::name, Suite::version));
    }

    void ReleaseAllSuites();

private:
    struct Slot {
        const char* name;
        int32_t version;
        const void* table;
    };

    const void* acquire(const char* name, int32_t version);

    SPBasicSuite* basic_;
    std::vector<Slot> slots_;
};
