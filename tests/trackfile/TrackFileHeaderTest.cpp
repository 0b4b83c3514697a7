#include "trackfile/TrackFileHeader.h"

#include "base/File.h"
#include "base/FileFaults.h"
#include "support/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

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

// A read or a seek back that fails leaves the file's position unknown: the check says so rather
// than guessing, whatever the bytes were.
TEST(CheckTrackFileHeader, FailedReadOrSeekIsReportedNotGuessed)
{
    struct Case
    {
        std::string content;
        std::optional<FileOp> failing;
        HeaderCheck expected;
    };
    const Case cases[] = {
        {"######## Zentravox", std::nullopt, HeaderCheck::Present},
        {"######## Zentravox", FileOp::Read, HeaderCheck::Unreadable},
        {"######## Zentravox", FileOp::Seek, HeaderCheck::Unreadable},
        {"old style", std::nullopt, HeaderCheck::Absent},
        {"old style", FileOp::Seek, HeaderCheck::Unreadable},
        {"", FileOp::Seek, HeaderCheck::Unreadable},
    };
    CTempDir dir;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.content + (c.failing ? " with a failing " + std::string(FileOpName(*c.failing)) : ""));
        ASSERT_TRUE(WriteWholeFile(dir.File("f"), c.content));
        CFile file;
        ASSERT_TRUE(file.Open(dir.File("f"), FileMode::Read));
        CFileFaultScope faults;
        if (c.failing)
            faults.Arm(*c.failing, 1, FileFaultKind::Fail, ESPIPE);
        EXPECT_EQ(CheckTrackFileHeader(file), c.expected);
    }
}
