#include "standin/expectation.h"

#include <gtest/gtest.h>

using json = nlohmann::json;
using standin::expectation_mismatch;

TEST(Expectation, ObjectsKeyByKeyArraysAsOrderedSubsequences)
{
    json state = json::parse(R"({"quit": true, "layers": [{"name": "A", "n": 1}, {"name": "B"}, {"name": "C"}],
                                 "screenshots": {"p": {"theme": "dark", "one_colour": false}}})");
    EXPECT_EQ(expectation_mismatch(state, json::parse(R"({"layers": [{"name": "A"}, {"name": "C"}]})")), "");
    EXPECT_EQ(expectation_mismatch(state, json::parse(R"({"screenshots": {"p": {"theme": "light"}}})")),
              R"(/screenshots/p/theme: "dark", not "light")");
    EXPECT_EQ(expectation_mismatch(state, json::parse(R"({"layers": [{"name": "C"}, {"name": "A"}]})")),
              R"(/layers: no item holding {"name":"A"} in order)");
    EXPECT_EQ(expectation_mismatch(state, json::parse(R"({"files": null})")), "/files: missing");
    EXPECT_EQ(expectation_mismatch(state, json::parse(R"({"quit": {"at": 1}})")), "/quit: true is no object");
}
