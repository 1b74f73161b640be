#pragma once
// state.json: the book-keeping of a session, for tests and people to read.
#include "standin/bookkeeping.h"
#include "standin/project.h"

#include <nlohmann/json.hpp>

#include <string>

namespace standin {

nlohmann::json bookkeeping_json(const Bookkeeping& book, const Project& project);
// Written beside the target and renamed over it, so a reader never sees half a file.
void write_json_file(const std::wstring& path, const nlohmann::json& value);

}  // namespace standin
