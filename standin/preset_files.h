#pragma once
// The host's preset folders, and the preset files of the project laid out in them.
#include "standin/project.h"

#include <string>

namespace standin {

// "Presets" beside the running executable.
std::wstring host_presets_folder();
// Documents\Adobe\<the folder of that host version>\User Presets.
std::wstring user_presets_folder(int major, int minor);
std::wstring host_generation_folder(int major, int minor);

// Creates every preset file of the project (folders included) that does not exist yet; throws
// std::runtime_error naming the file that could not be made.
void lay_out_presets(const Project& project, int major, int minor);

}  // namespace standin
