#include "base/File.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

TEST(FileNameOfPath, TakesTheLastComponent)
{
    EXPECT_EQ(FileNameOfPath("/a/b/run7.qtf"), "run7.qtf");
    EXPECT_EQ(FileNameOfPath("run7.qtf"), "run7.qtf");
    EXPECT_EQ(FileNameOfPath("./dir/"), "");
    EXPECT_EQ(FileNameOfPath(""), "");
}

TEST(File, ModesCreateTruncateAndAppend)
{
    CTempDir dir;
    const std::string path = dir.File("f");
    CFile file;
    EXPECT_FALSE(file.Open(path, FileMode::Read));
    EXPECT_NE(file.GetLastError(), 0);
    EXPECT_FALSE(file.Open(path, FileMode::WriteExisting));
    ASSERT_TRUE(file.Open(path, FileMode::CreateWrite));
    ASSERT_TRUE(file.Write("hello", 5));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(file.Open(path, FileMode::WriteExisting));
    ASSERT_TRUE(file.SeekToEnd());
    ASSERT_TRUE(file.Write(" world", 6));
    EXPECT_EQ(file.GetLength(), std::optional<std::uint64_t>(11));
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "hello world");
    // SetLength cuts the tail, and writing goes on from the position, which it leaves alone.
    ASSERT_TRUE(file.Open(path, FileMode::WriteExisting));
    ASSERT_TRUE(file.SeekToEnd());
    ASSERT_TRUE(file.SetLength(5));
    EXPECT_EQ(file.GetLength(), std::optional<std::uint64_t>(5));
    ASSERT_TRUE(file.Seek(5));
    ASSERT_TRUE(file.Write("!", 1));
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "hello!");
    ASSERT_TRUE(file.Open(path, FileMode::CreateWrite));
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(File, ReadsShortOnlyAtTheEnd)
{
    CTempDir dir;
    WriteWholeFile(dir.File("f"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("f"), FileMode::Read));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4);
    ASSERT_TRUE(file.Seek(8));
    EXPECT_EQ(file.Read(buffer, 8), 2);
    EXPECT_EQ(file.Read(buffer, 8), 0);
}

TEST(File, ErrorsAreReportedNotHidden)
{
    CFile full;
    ASSERT_TRUE(full.Open("/dev/full", FileMode::WriteExisting));
    EXPECT_FALSE(full.Write("x", 1)); // a full disk
    CTempDir dir;
    CFile directory;
    ASSERT_TRUE(directory.Open(dir.Path(), FileMode::Read));
    char c = 0;
    EXPECT_EQ(directory.Read(&c, 1), -1);
    EXPECT_NE(directory.GetLastError(), 0);
}

TEST(File, IdentityIsTheSameThroughLinks)
{
    CTempDir dir;
    WriteWholeFile(dir.File("a"), "a");
    WriteWholeFile(dir.File("b"), "b");
    ASSERT_EQ(::symlink(dir.File("a").c_str(), dir.File("sym").c_str()), 0);
    ASSERT_EQ(::link(dir.File("a").c_str(), dir.File("hard").c_str()), 0);
    const auto a = GetPathIdentity(dir.File("a"));
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(GetPathIdentity(dir.File("sym")), a);
    EXPECT_EQ(GetPathIdentity(dir.File("hard")), a);
    EXPECT_EQ(GetPathIdentity(dir.Path() + "/./a"), a);
    EXPECT_NE(GetPathIdentity(dir.File("b")), a);
    EXPECT_EQ(GetPathIdentity(dir.File("none")), std::nullopt);
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("sym"), FileMode::Read));
    EXPECT_EQ(file.GetIdentity(), a);
}

TEST(File, ExclusiveOpensExcludeEachOther)
{
    CTempDir dir;
    WriteWholeFile(dir.File("f"), "x");
    CFile first;
    CFile second;
    CFile shared;
    ASSERT_TRUE(first.Open(dir.File("f"), FileMode::WriteExisting, ShareMode::Exclusive));
    EXPECT_FALSE(second.Open(dir.File("f"), FileMode::WriteExisting, ShareMode::Exclusive));
    EXPECT_TRUE(shared.Open(dir.File("f"), FileMode::Read, ShareMode::DenyNone));
    // A refused exclusive create leaves the held file's content alone.
    EXPECT_FALSE(second.Open(dir.File("f"), FileMode::CreateReadWrite, ShareMode::Exclusive));
    EXPECT_EQ(ReadWholeFile(dir.File("f")), "x");
    first.Close();
    EXPECT_TRUE(second.Open(dir.File("f"), FileMode::CreateReadWrite, ShareMode::Exclusive));
    EXPECT_EQ(ReadWholeFile(dir.File("f")), "");
}
