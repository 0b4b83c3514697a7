#include "trackfile/TrackFileHeader.h"

#include "base/File.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Test that only the exact 18-byte tag counts as a header, and that the file is left at byte 0.
TEST(HasTrackFileHeader, OnlyTheExactTagCounts)
{
    struct Case
    {
        std::string content;
        bool header;
    };
    const Case cases[] = {
        {"######## Zentravox", true},
        {"######## Zentravox and more text", true},
        {"####### Zentravox!", false}, // seven # characters
        {"######## zentravox", false}, // lower-case maker word
        {"########_Zentravox", false}, // not a space
        {"######## Zentravo", false},  // 17 bytes only
        {"", false},
        {std::string("######## Zentravox\0", 19), true},
    };
    CTempDir dir;
    for (const Case& c : cases)
    {
        const std::string path = dir.File("f");
        ASSERT_TRUE(WriteWholeFile(path, c.content));
        CFile file;
        ASSERT_TRUE(file.Open(path, FileMode::Read));
        EXPECT_EQ(HasTrackFileHeader(file), c.header) << c.content;
        char first = 0;
        EXPECT_EQ(file.Read(&first, 1), c.content.empty() ? 0 : 1);
        if (!c.content.empty())
        {
            EXPECT_EQ(first, c.content[0]);
        }
    }
}
