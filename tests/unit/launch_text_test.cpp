#include "launch/launch_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(LaunchText, ConnectParametersNameTheAddressAfterALeadingBlank) {
    const std::string parameters = buildConnectParameters("10.0.0.5:27910");
    EXPECT_EQ(parameters, " +connect 10.0.0.5:27910");
    EXPECT_EQ(parameters.size(), 24u);
    EXPECT_EQ(buildConnectParameters(""), " +connect ");
    EXPECT_EQ(buildConnectParameters(std::string(300, '9').c_str()).size(), 255u);
}

TEST(LaunchText, GamePathJoinsTheDirectoryAsGiven) {
    EXPECT_EQ(buildGamePath("c:\\games\\tarnwick"), "c:\\games\\tarnwick\\tarnwick.exe");
    EXPECT_EQ(buildGamePath("c:\\games\\"), "c:\\games\\\\tarnwick.exe");
    // An install directory without a value gives the bare file name after a backslash.
    EXPECT_EQ(buildGamePath(""), "\\tarnwick.exe");
    EXPECT_EQ(buildGamePath(nullptr), "\\tarnwick.exe");
}

TEST(LaunchText, LongInstallDirectoryCutsThePathTo255Characters) {
    const std::string directory(250, 'd');
    const std::string path = buildGamePath(directory.c_str());
    ASSERT_EQ(path.size(), 255u);
    EXPECT_EQ(path, directory + "\\tarn");
    // The longest directory the registry read can give still yields a terminated text.
    EXPECT_EQ(buildGamePath(std::string(255, 'd').c_str()), std::string(255, 'd'));
}
