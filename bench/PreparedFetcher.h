#pragma once

#include "watch/PageFetcher.h"

#include <string>
#include <utility>

// Hands out a page prepared outside the timed region, so that copying the page is not
// counted as the work measured.
class TPreparedFetcher : public watch::IPageFetcher {
public:
    void SetCacheControl(const std::string&) override {}
    std::string Get(const std::string&) override { return std::move(page); }
    std::string AbsoluteURL(const std::string& link) const override { return link; }
    std::string page;
};
