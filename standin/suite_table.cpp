#include "standin/host.h"
#include "standin/suites.h"

#include <cstring>

namespace standin {

namespace {

struct SuiteEntry {
    const char* name;
    int32_t version;
    const void* table;
};

template <typename Suite>
SuiteEntry entry(const Suite& table)
{
    return {Suite::name, Suite::version, &table};
}

constexpr SPErr error_missing_suite = A_Err_MISSING_SUITE;

SPErr acquire_suite(const char* name, int32_t version, const void** suite)
{
    if (suite)
        *suite = nullptr;
    Host* host = Host::current();
    if (!name || !suite || !host)
        return A_Err_PARAMETER;
    const void* table = find_suite(name, version);
    if (!table || !host->serves_suite(name, version)) {
        host->book().missing_suites.emplace_back(name, version);
        return error_missing_suite;
    }
    ++host->book().suites[{name, version}].acquired;
    *suite = table;
    return A_Err_NONE;
}

SPErr release_suite(const char* name, int32_t version)
{
    Host* host = Host::current();
    if (!name || !host)
        return A_Err_PARAMETER;
    auto found = host->book().suites.find({name, version});
    if (found == host->book().suites.end() || found->second.released >= found->second.acquired)
        return A_Err_PARAMETER;
    ++found->second.released;
    return A_Err_NONE;
}

}  // namespace

SPBasicSuite basic_suite{&acquire_suite, &release_suite};

const void* find_suite(const char* name, int32_t version)
{
    static const SuiteEntry entries[] = {
        entry(utility_suite_11), entry(utility_suite_10), entry(register_suite_6), entry(memory_suite_1),
        entry(layer_suite_14), entry(layer_suite_5), entry(layer_suite_11), entry(item_suite_10),
        entry(item_suite_13), entry(comp_suite_9), entry(comp_suite_15), entry(proj_suite_8),
        entry(effect_suite_2), entry(effect_suite_3), entry(render_options_suite_3), entry(render_suite_3),
        entry(world_suite_3), entry(color_settings_suite_3),
    };
    for (const SuiteEntry& candidate : entries)
        if (candidate.version == version && std::strcmp(candidate.name, name) == 0)
            return candidate.table;
    return nullptr;
}

}  // namespace standin
