#include "standin/expectation.h"

namespace standin {
namespace {

using json = nlohmann::json;

std::string mismatch_at(const json& actual, const json& expected, const std::string& where)
{
    if (expected.is_object()) {
        if (!actual.is_object())
            return where + ": " + actual.dump() + " is no object";
        for (const auto& [key, value] : expected.items()) {
            if (!actual.contains(key))
                return where + "/" + key + ": missing";
            if (std::string found = mismatch_at(actual[key], value, where + "/" + key); !found.empty())
                return found;
        }
        return {};
    }
    if (!expected.is_array())
        return actual == expected ? std::string() : where + ": " + actual.dump() + ", not " + expected.dump();
    if (!actual.is_array())
        return where + ": " + actual.dump() + " is no array";
    size_t at = 0;
    for (const json& item : expected) {
        while (at < actual.size() && !mismatch_at(actual[at], item, where).empty())
            ++at;
        if (at++ >= actual.size())
            return where + ": no item holding " + item.dump() + " in order";
    }
    return {};
}

}  // namespace

std::string expectation_mismatch(const nlohmann::json& actual, const nlohmann::json& expected)
{
    return mismatch_at(actual, expected, "");
}

}  // namespace standin
