#pragma once

#include <gtest/gtest.h>

#include "media_files.h"

/// Tests that play real media: skipped in the PulseAudio run when the test run has no sound server;
/// otherwise with every sound output out of reach, so nothing is heard.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (pulseVariant() && qEnvironmentVariableIsEmpty("BELVANE_TEST_PULSE"))
            GTEST_SKIP() << "no PulseAudio server in this test run";
        if (!pulseVariant())
            hideSoundOutputs();
        files = &MediaFiles::get();
    }
    const MediaFiles* files = nullptr;
};
