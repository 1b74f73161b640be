#pragma once
// The user's files that exist but could not be read in this session. Saving over one of them would replace
// what the user kept with lists or settings that never came from it, so every writer of the maker folder's
// files leaves them alone until a later reading succeeds.
#include "toolkit/platform/path.h"

#include <string>
#include <vector>

void remember_unread_file(const qzsdk::path& file);
void forget_unread_file(const qzsdk::path& file);
bool is_unread_file(const qzsdk::path& file);

// The names of the unread files that have not been told to the user yet; each is given once per session.
std::vector<std::string> take_untold_unread_files();
