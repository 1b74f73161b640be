#pragma once
// The maker's recent-products page, where the news counted by the news check are read.
#include "popup/news_server.h"

#include <cstdint>

// Opens the page in the default browser and returns the visit time, in Unix seconds, that becomes the
// settings' last news visit (the next start's news check sends it).
int64_t VisitNewsPage(const NewsServer& server);
