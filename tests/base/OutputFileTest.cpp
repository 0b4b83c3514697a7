#include "base/OutputFile.h"

#include "base/FileFaults.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool WriteAndCommit(COutputFile& output, const std::string& bytes)
{
    return output.Write(bytes.data(), bytes.size()) && output.Commit();
}
} // namespace

// What each kind of destination becomes: new names and regular files are written (through a link
// to the link's target), anything else is refused before a byte is written.
TEST(OutputFile, DestinationsAreWrittenOrRefusedByWhatTheyAre)
{
    CTempDir dir;
    WriteWholeFile(dir.File("old"), "old content");
    WriteWholeFile(dir.File("target"), "target content");
    ASSERT_EQ(::symlink("target", dir.File("link").c_str()), 0);                      // relative
    ASSERT_EQ(::symlink(dir.File("later").c_str(), dir.File("dangling").c_str()), 0); // to a new name
    ASSERT_EQ(::symlink("link", dir.File("link2").c_str()), 0);                       // a chain
    ASSERT_EQ(::symlink("loop", dir.File("loop").c_str()), 0);
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_TRUE(MakeFifo(dir.File("pipe")));
    struct Case
    {
        std::string destination;
        bool written;
        std::string changedFile; // the file that holds the new content
        FileKind kind;
    };
    const Case cases[] = {
        {dir.File("new"), true, dir.File("new"), FileKind::Regular},
        {dir.File("old"), true, dir.File("old"), FileKind::Regular},
        {dir.File("link"), true, dir.File("target"), FileKind::Regular},
        {dir.File("link2"), true, dir.File("target"), FileKind::Regular},
        {dir.File("dangling"), true, dir.File("later"), FileKind::Regular},
        {dir.File("folder"), false, "", FileKind::Directory},
        {dir.File("pipe"), false, "", FileKind::Fifo},
        {"/dev/null", false, "", FileKind::Device},
        {dir.File("loop"), false, "", FileKind::Regular},
        {dir.File("no/such/folder"), false, "", FileKind::Regular},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.destination);
        const auto before = SnapshotFolder(dir.Path());
        COutputFile output;
        EXPECT_EQ(output.Create(c.destination) && WriteAndCommit(output, "new content"), c.written);
        auto after = SnapshotFolder(dir.Path());
        if (c.written)
        {
            EXPECT_EQ(ReadWholeFile(c.changedFile), "new content");
            // Links stay links; nothing else changed.
            after.erase(FileNameOfPath(c.changedFile));
            auto expected = before;
            expected.erase(FileNameOfPath(c.changedFile));
            EXPECT_EQ(after, expected);
            WriteWholeFile(c.changedFile,
                           c.changedFile == dir.File("target") ? "target content" : "old content");
            if (c.changedFile == dir.File("new") || c.changedFile == dir.File("later"))
                std::filesystem::remove(c.changedFile);
        }
        else
        {
            EXPECT_EQ(after, before);
            EXPECT_EQ(output.GetProblem().kind, c.kind);
            EXPECT_NE(output.GetProblem().error, 0);
        }
    }
}

// A destination that is a file open for reading, by whatever name, is refused; once it is closed
// it may be replaced.
TEST(OutputFile, FilesOpenForReadingAreNeverReplaced)
{
    CTempDir dir;
    WriteWholeFile(dir.File("track"), "track");
    ASSERT_EQ(::symlink(dir.File("track").c_str(), dir.File("sym").c_str()), 0);
    ASSERT_EQ(::link(dir.File("track").c_str(), dir.File("hard").c_str()), 0);
    CFile reader;
    ASSERT_TRUE(reader.Open(dir.File("sym"), FileMode::Read));
    for (const std::string name : {"track", "sym", "hard", "./track"})
    {
        SCOPED_TRACE(name);
        const auto before = SnapshotFolder(dir.Path());
        COutputFile output;
        EXPECT_FALSE(
            output.Create(name == std::string("./track") ? dir.Path() + "/./track" : dir.File(name)));
        EXPECT_TRUE(output.GetProblem().isOpenInput);
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
    reader.Close();
    COutputFile output;
    ASSERT_TRUE(output.Create(dir.File("track")));
    EXPECT_TRUE(WriteAndCommit(output, "replaced"));
    EXPECT_EQ(ReadWholeFile(dir.File("hard")), "track"); // the old file lives on under its other name
    EXPECT_EQ(ReadWholeFile(dir.File("sym")), "replaced");
}

TEST(OutputFile, NothingAppearsUntilCommitAndNothingStaysWithout)
{
    CTempDir dir;
    WriteWholeFile(dir.File("out"), "earlier");
    const auto before = SnapshotFolder(dir.Path());
    {
        COutputFile output;
        ASSERT_TRUE(output.Create(dir.File("out")));
        ASSERT_TRUE(output.Write("later", 5));
        EXPECT_EQ(ReadWholeFile(dir.File("out")), "earlier");
        EXPECT_EQ(FileNameOfPath(output.GetTemporaryPath()).front(), '.');
        EXPECT_EQ(ReadWholeFile(output.GetTemporaryPath()), "later");
    } // not committed
    EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    COutputFile output;
    ASSERT_TRUE(output.Create(dir.File("out")));
    output.Discard();
    EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    EXPECT_FALSE(output.Commit());
}

TEST(OutputFile, NewFilesTakeTheUsualPermissions)
{
    CTempDir dir;
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{0}})
    {
        const mode_t previous = ::umask(mask);
        COutputFile output;
        const std::string path = dir.File("f" + std::to_string(mask));
        const bool written = output.Create(path) && WriteAndCommit(output, "x");
        ::umask(previous);
        ASSERT_TRUE(written);
        struct stat st = {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << mask;
    }
}

TEST(OutputFile, ExclusiveOutputIsRefusedWhileAnotherHoldsTheFile)
{
    CTempDir dir;
    CFile holder;
    ASSERT_TRUE(holder.Open(dir.File("x"), FileMode::CreateReadWrite, ShareMode::Exclusive));
    COutputFile output;
    EXPECT_FALSE(output.Create(dir.File("x"), ShareMode::Exclusive));
    EXPECT_EQ(output.GetProblem().error, EWOULDBLOCK);
    COutputFile shared;
    EXPECT_TRUE(shared.Create(dir.File("x"), ShareMode::DenyNone));
    holder.Close();
    ASSERT_TRUE(output.Create(dir.File("x"), ShareMode::Exclusive));
    EXPECT_TRUE(WriteAndCommit(output, "mine"));
    EXPECT_EQ(ReadWholeFile(dir.File("x")), "mine");
}

// A set of outputs is committed whole: when putting the k-th in place fails, those before it get
// their earlier content back (or vanish again when they were new).
TEST(OutputFile, CommitAllPutsEveryFileInPlaceOrNone)
{
    const std::vector<std::string> names = {"a", "b", "c", "d"}; // a and c exist already
    struct Case
    {
        FileOp op;
        std::uint64_t nth;
        std::size_t failedIndex;
    };
    const Case cases[] = {
        {FileOp::Close, 3, 2},  {FileOp::Stat, 2, 1},   {FileOp::Rename, 1, 0},
        {FileOp::Rename, 2, 1}, {FileOp::Rename, 4, 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(FileOpName(c.op)) + " " + std::to_string(c.nth));
        CTempDir dir;
        WriteWholeFile(dir.File("a"), "old a");
        WriteWholeFile(dir.File("c"), "old c");
        const auto before = SnapshotFolder(dir.Path());
        std::vector<std::unique_ptr<COutputFile>> outputs;
        std::vector<COutputFile*> set;
        for (const std::string& name : names)
        {
            outputs.push_back(std::make_unique<COutputFile>());
            ASSERT_TRUE(outputs.back()->Create(dir.File(name)));
            ASSERT_TRUE(outputs.back()->Write(name.data(), name.size()));
            set.push_back(outputs.back().get());
        }
        const std::size_t descriptors = CountOpenDescriptors();
        std::size_t failed = 99;
        {
            CFileFaultScope faults;
            faults.Arm(c.op, c.nth, FileFaultKind::Fail, EIO);
            EXPECT_FALSE(CommitAll(set, failed));
            EXPECT_TRUE(faults.HasFired());
        }
        EXPECT_EQ(failed, c.failedIndex);
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
        EXPECT_LT(CountOpenDescriptors(), descriptors); // the temporaries are closed
    }
    CTempDir dir;
    WriteWholeFile(dir.File("a"), "old a");
    std::vector<std::unique_ptr<COutputFile>> outputs;
    std::vector<COutputFile*> set;
    for (const std::string& name : names)
    {
        outputs.push_back(std::make_unique<COutputFile>());
        ASSERT_TRUE(outputs.back()->Create(dir.File(name)));
        ASSERT_TRUE(outputs.back()->Write(name.data(), name.size()));
        set.push_back(outputs.back().get());
    }
    std::size_t failed = 99;
    ASSERT_TRUE(CommitAll(set, failed));
    EXPECT_EQ(SnapshotFolder(dir.Path()),
              (std::map<std::string, std::string>{{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}}));
}
