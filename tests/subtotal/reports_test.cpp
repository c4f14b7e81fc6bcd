#include "subtotal/reports.h"

#include <gtest/gtest.h>

#include <string>

namespace kolm::subtotal {
namespace {

TEST(Reports, LevelsWrittenForGroupCount) {
    const struct {
        std::int32_t count;
        std::int32_t levels;
    } cases[] = {
        {INT32_MIN, 0}, {-5, 0}, {0, 0}, {1, 1}, {12, 12}, {701, 701}, {702, 702}, {703, 702}, {INT32_MAX, 702},
    };
    for (const auto& c : cases) EXPECT_EQ(levels_to_write(c.count), c.levels) << c.count;
}

}  // namespace
}  // namespace kolm::subtotal
