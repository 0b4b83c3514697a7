#include "base/File.h"

#include "base/FileFaults.h"
#include "support/FileChecks.h"
#include "support/FileClock.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
    CTempDir dir;
    WriteWholeFile(dir.File("f"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("f"), FileMode::WriteExisting));
    {
        CFileFaultScope faults;
        faults.Arm(FileOp::Write, 1, FileFaultKind::Fail, ENOSPC);
        EXPECT_FALSE(file.Write("x", 1)); // a full disk
        EXPECT_EQ(file.GetLastError(), ENOSPC);
        faults.Arm(FileOp::Read, 1, FileFaultKind::Fail, EIO);
        char c = 0;
        EXPECT_EQ(file.Read(&c, 1), -1);
        EXPECT_EQ(file.GetLastError(), EIO);
        faults.Arm(FileOp::Stat, 1, FileFaultKind::Fail, EIO);
        EXPECT_EQ(file.GetLength(), std::nullopt);
        faults.Arm(FileOp::Seek, 1, FileFaultKind::Fail, EIO);
        EXPECT_FALSE(file.Seek(0));
        faults.Arm(FileOp::Seek, 1, FileFaultKind::Fail, EIO);
        EXPECT_FALSE(file.SeekToEnd());
        faults.Arm(FileOp::Close, 1, FileFaultKind::Fail, EIO);
        EXPECT_FALSE(file.Close());
        EXPECT_FALSE(file.IsOpen()); // the descriptor is gone all the same
    }
    EXPECT_EQ(ReadWholeFile(dir.File("f")), "0123456789");
}

// Only regular files are opened, in every mode; anything else is refused at once with what it is.
TEST(File, OnlyRegularFilesAreOpened)
{
    CTempDir dir;
    ASSERT_TRUE(MakeFifo(dir.File("pipe")));
    ASSERT_EQ(::symlink(dir.Path().c_str(), dir.File("link-to-dir").c_str()), 0);
    struct Case
    {
        std::string path;
        FileKind kind;
    };
    const Case cases[] = {
        {dir.Path(), FileKind::Directory},  {dir.File("link-to-dir"), FileKind::Directory},
        {dir.File("pipe"), FileKind::Fifo}, // nobody at the other end: a blocking open never returns
        {"/dev/null", FileKind::Device},    {"/dev/zero", FileKind::Device},
    };
    const FileMode modes[] = {FileMode::Read, FileMode::WriteExisting, FileMode::CreateWrite,
                              FileMode::CreateReadWrite};
    for (const Case& c : cases)
    {
        for (const FileMode mode : modes)
        {
            SCOPED_TRACE(c.path + " in mode " + std::to_string(static_cast<int>(mode)));
            const std::size_t descriptors = CountOpenDescriptors();
            CFile file;
            EXPECT_FALSE(file.Open(c.path, mode));
            EXPECT_FALSE(file.IsOpen());
            EXPECT_EQ(file.GetProblem().kind, c.kind);
            EXPECT_NE(file.GetLastError(), 0);
            EXPECT_EQ(CountOpenDescriptors(), descriptors);
        }
    }
}

TEST(File, NotAFileIsDescribedByWhatItIs)
{
    struct Case
    {
        FileKind kind;
        const char* text;
    };
    const Case cases[] = {
        {FileKind::Directory, "run is a directory, not a file."},
        {FileKind::Fifo, "run is a named pipe (FIFO), not a file."},
        {FileKind::Device, "run is a device, not a file."},
        {FileKind::Socket, "run is a socket, not a file."},
        {FileKind::Other, "run is not a regular file."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeNotAFile("run", c.kind), c.text);
}

// The window shows the text alone for an ordinary failure and tracktool adds the system's reason;
// a path that is not a file, or is an input, gets its own second line that both show.
TEST(File, ProblemsAreShownWithTheirReasonOrWhatStandsThere)
{
    FileProblem missing;
    missing.error = ENOENT;
    FileProblem directory;
    directory.error = EISDIR;
    directory.kind = FileKind::Directory;
    FileProblem input;
    input.error = EBUSY;
    input.isOpenInput = true;
    struct Case
    {
        FileProblem problem;
        std::string message;
        std::string reason;
    };
    const Case cases[] = {
        {missing, "Cannot open.", "No such file or directory"},
        {directory, "Cannot open.\nd is a directory, not a file.", ""},
        {input, "Cannot open.\nd is a file this program is reading; it is left as it is.", ""},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        ShowFileProblem("Cannot open.", "d", c.problem);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{c.reason});
    }
}

// The set of files open for reading follows every CFile that holds one: opens, moves and closes.
TEST(File, FilesOpenForReadingAreKnownUntilClosed)
{
    CTempDir dir;
    WriteWholeFile(dir.File("a"), "a");
    const FileIdentity a = GetPathIdentity(dir.File("a")).value();
    EXPECT_FALSE(IsOpenForReading(a));
    {
        CFile first;
        ASSERT_TRUE(first.Open(dir.File("a"), FileMode::Read));
        EXPECT_TRUE(IsOpenForReading(a));
        CFile second;
        ASSERT_TRUE(second.Open(dir.File("a"), FileMode::Read));
        first.Close();
        EXPECT_TRUE(IsOpenForReading(a)); // second still holds it
        CFile moved(std::move(second));
        EXPECT_TRUE(IsOpenForReading(a));
        CFile writer;
        ASSERT_TRUE(writer.Open(dir.File("a"), FileMode::WriteExisting));
        moved = std::move(writer); // the reading handle is closed by the assignment
        EXPECT_FALSE(IsOpenForReading(a));
        ASSERT_TRUE(moved.Open(dir.File("a"), FileMode::Read));
        EXPECT_TRUE(IsOpenForReading(a));
    }
    EXPECT_FALSE(IsOpenForReading(a)); // destructors close
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

// Test that the status gives the open file's identity, length and both times to the nanosecond,
// and that the change time moves when the file is written, even when its modification time is
// put back as it was.
TEST(File, StatusTellsLengthTimesAndEveryChange)
{
    CTempDir dir;
    const std::string path = dir.File("f");
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    const struct timespec times[2] = {{1'000'000'000, 1}, {-86'400, 999'999'999}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    CFile file;
    EXPECT_EQ(file.GetStatus(), std::nullopt);
    ASSERT_TRUE(file.Open(path, FileMode::WriteExisting));
    const std::optional<FileStatus> before = file.GetStatus();
    ASSERT_TRUE(before);
    EXPECT_EQ(before->identity, file.GetIdentity());
    EXPECT_EQ(before->size, 10u);
    EXPECT_EQ(before->modified, (FileTime{-86'400, 999'999'999}));

    // Written in place (a tick of the file system's clock later) and the modification time put
    // back: only the change time tells.
    WaitForClockPast(before->changed);
    ASSERT_TRUE(file.Write("x", 1));
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const std::optional<FileStatus> after = file.GetStatus();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->modified, before->modified);
    EXPECT_EQ(after->size, before->size);
    EXPECT_NE(after->changed, before->changed);
    EXPECT_NE(*after, *before);
}
