#include "common/Platform.h"

#include <gtest/gtest.h>

namespace {

TEST(JoinPath, FolderOneSeparatorFileName) {
    const std::string sep(1, platform::Separator());
    EXPECT_EQ(platform::JoinPath("/praca", "OBSBIEG"), "/praca" + sep + "OBSBIEG");
    EXPECT_EQ(platform::JoinPath("", "OBSBIEG"), sep + "OBSBIEG");
    EXPECT_EQ(platform::JoinPath("C:\\Dane", "Err.rej"), "C:\\Dane" + sep + "Err.rej");
}

TEST(ExecutableDir, IsTheFolderOfThisTest) {
    const std::string dir = platform::ExecutableDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(std::filesystem::is_directory(platform::PathFromUtf8(dir)));
    EXPECT_NE(dir.back(), platform::Separator());
}

} // namespace
