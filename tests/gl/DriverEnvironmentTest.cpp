// The raster thread setting: one thread more than processors, unless the user chose a number.
#include "platform/gl/DriverEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quorvel::gl {
namespace {

TEST(DriverEnvironment, RasterThreadsAreProcessorsPlusOneUnlessTheUserChose) {
    const char* saved = std::getenv("LP_NUM_THREADS");
    const std::string savedValue = saved ? saved : "";
    unsetenv("LP_NUM_THREADS");

    applyRasterThreadSetting(0);  // an unknown processor count leaves the driver's default
    EXPECT_EQ(std::getenv("LP_NUM_THREADS"), nullptr);
    applyRasterThreadSetting(2);
    EXPECT_STREQ(std::getenv("LP_NUM_THREADS"), "3");
    setenv("LP_NUM_THREADS", "1", 1);
    applyRasterThreadSetting(8);
    EXPECT_STREQ(std::getenv("LP_NUM_THREADS"), "1");

    if (saved)
        setenv("LP_NUM_THREADS", savedValue.c_str(), 1);
    else
        unsetenv("LP_NUM_THREADS");
}

}  // namespace
}  // namespace quorvel::gl
