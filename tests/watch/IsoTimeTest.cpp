#include "watch/IsoTime.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

TEST(IsoTime, ReadsDateAndTimeWithItsOffset) {
    const std::int64_t noon = 1765281600; // 2025-12-09T12:00:00Z
    for (auto [text, seconds] : std::vector<std::pair<std::string, std::optional<std::int64_t>>>{
             {"2025-12-09T12:00:00Z", noon},
             {"2025-12-09T12:00:00.123Z", noon},
             {"2025-12-09T20:00:00+08:00", noon},
             {"2025-12-09T07:00:00-0500", noon},
             {"2024-02-29T00:00:00Z", 1709164800},
             {"1970-01-01T00:00:00+00:00", 0},
             {"2025-12-09T12:00:00", std::nullopt},
             {"2025-12-09", std::nullopt},
             {"2025-13-09T12:00:00Z", std::nullopt},
             {"2025-12-09T12:00:00+8", std::nullopt},
             {"2025-12-09T12:00:00Zjunk", std::nullopt},
             {"２０２５-12-09T12:00:00Z", std::nullopt},
             {"", std::nullopt},
         }) {
        EXPECT_EQ(watch::IsoTimeSeconds(text), seconds) << text;
    }
}
