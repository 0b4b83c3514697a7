#include "base/FileFaults.h"

#include "base/File.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// The seam counts each kind of call and fails exactly the armed one.
TEST(FileFaults, CountsCallsAndFailsTheArmedOne)
{
    CTempDir dir;
    CFileFaultScope faults;
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("f"), FileMode::CreateWrite));
    ASSERT_TRUE(file.Write("ab", 2));
    ASSERT_TRUE(file.Write("cd", 2));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(faults.GetCount(FileOp::Open), 1u);
    EXPECT_EQ(faults.GetCount(FileOp::Write), 2u);
    EXPECT_EQ(faults.GetCount(FileOp::Close), 1u);
    EXPECT_EQ(faults.GetCount(FileOp::Truncate), 1u); // the create empties the file
    EXPECT_EQ(faults.GetCount(FileOp::Rename), 0u);

    faults.Arm(FileOp::Write, 2, FileFaultKind::Fail, ENOSPC);
    EXPECT_EQ(faults.GetCount(FileOp::Write), 0u);
    ASSERT_TRUE(file.Open(dir.File("f"), FileMode::CreateWrite));
    EXPECT_TRUE(file.Write("ab", 2));
    EXPECT_FALSE(faults.HasFired());
    EXPECT_FALSE(file.Write("cd", 2));
    EXPECT_TRUE(faults.HasFired());
    EXPECT_EQ(file.GetLastError(), ENOSPC);
    EXPECT_TRUE(file.Write("ef", 2)); // one call only
    file.Close();
    EXPECT_EQ(ReadWholeFile(dir.File("f")), "abef");
}

// A short write puts half of the bytes into the file and then finds the disk full.
TEST(FileFaults, ShortWriteLeavesHalfAndThenTheDiskIsFull)
{
    CTempDir dir;
    CFileFaultScope faults;
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("f"), FileMode::CreateWrite));
    faults.Arm(FileOp::Write, 1, FileFaultKind::ShortWrite, 0);
    EXPECT_FALSE(file.Write("abcdefgh", 8));
    EXPECT_EQ(file.GetLastError(), ENOSPC);
    EXPECT_FALSE(file.Write("ij", 2));
    file.Close();
    EXPECT_EQ(ReadWholeFile(dir.File("f")), "abcd");
}

// Without a scope nothing is counted or failed.
TEST(FileFaults, InactiveWithoutAScope)
{
    CTempDir dir;
    {
        CFileFaultScope faults;
        faults.Arm(FileOp::Open, 1, FileFaultKind::Fail, EIO);
    }
    CFile file;
    EXPECT_TRUE(file.Open(dir.File("f"), FileMode::CreateWrite));
    CFileFaultScope faults;
    EXPECT_EQ(faults.GetCount(FileOp::Open), 0u);
}
