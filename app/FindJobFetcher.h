#pragma once

#include "watch/PageFetcher.h"

#include <memory>

// The page fetcher the window owns as httpFindJob: the one choice of the HTTP client that
// the program fetches the job board with.
std::unique_ptr<watch::IPageFetcher> CreateFindJobFetcher();
