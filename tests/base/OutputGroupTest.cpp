// The files of one output together: created in order with the first refusal named, written, put
// in place all together or none, each failure naming its file in the file's own words with the
// system's reason; and the CSV stream that hands rows to such a file in pieces.
#include "base/OutputGroup.h"

#include "base/CsvStream.h"
#include "base/File.h"
#include "base/FileFaults.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace
{
OutputFileTexts TextsOf(const std::string& name)
{
    return OutputFileTexts{"cannot create " + name, "cannot write " + name};
}

void AddFiles(COutputGroup& group, const CTempDir& dir, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
    {
        const std::size_t index = group.Add(dir.File(name), TextsOf(name));
        EXPECT_EQ(index + 1, group.Size());
    }
}

// Test a group written and put in place, and one dropped: the files appear together, or the
// destinations keep what they had, and no temporary file stays either way.
TEST(OutputGroup, FilesAppearTogetherOrNotAtAll)
{
    for (const bool commit : {true, false})
    {
        SCOPED_TRACE(commit);
        CTempDir dir;
        ASSERT_TRUE(WriteWholeFile(dir.File("b"), "earlier b"));
        {
            COutputGroup group;
            AddFiles(group, dir, {"a", "b", "c"});
            EXPECT_EQ(group.Path(1), dir.File("b"));
            ASSERT_TRUE(group.Create().IsOk());
            for (std::size_t k = 0; k < group.Size(); ++k)
                ASSERT_TRUE(group.Write(k, "new " + std::to_string(k)).IsOk());
            if (commit)
            {
                ASSERT_TRUE(group.Commit().IsOk());
            }
        }
        const auto expected =
            commit ? std::map<std::string, std::string>{{"a", "new 0"}, {"b", "new 1"}, {"c", "new 2"}}
                   : std::map<std::string, std::string>{{"b", "earlier b"}};
        EXPECT_EQ(SnapshotFolder(dir.Path()), expected);
    }
}

// Test the problems: the first refusal at Create with its file's create text (a second line for a
// folder in the way, the reason otherwise), nothing left created; a failed write or a failed
// commit with its file's write text and the reason; a writer's own reason kept.
TEST(OutputGroup, EachFailureNamesItsFile)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    {
        COutputGroup group;
        AddFiles(group, dir, {"a", "none/b", "folder"});
        const Problem problem = group.Create();
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text, "cannot create none/b");
        EXPECT_EQ(problem.reason, "No such file or directory");
    }
    {
        COutputGroup group;
        AddFiles(group, dir, {"a", "folder"});
        const Problem problem = group.Create();
        EXPECT_EQ(problem.text,
                  "cannot create folder\n" + dir.File("folder") + " is a directory, not a file.");
        EXPECT_EQ(problem.reason, "");
    }
    EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 1u) << "only the folder: no temporary file";
    for (const FileOp op : {FileOp::Write, FileOp::Rename})
    {
        SCOPED_TRACE(FileOpName(op));
        COutputGroup group;
        AddFiles(group, dir, {"a", "b"});
        ASSERT_TRUE(group.Create().IsOk());
        CFileFaultScope faults;
        faults.Arm(op, 2, FileFaultKind::Fail, ENOSPC);
        Problem problem = group.Write(0, "0");
        if (problem.IsOk())
            problem = group.Write(1, "1");
        if (problem.IsOk())
            problem = group.Commit();
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text, "cannot write b");
        EXPECT_EQ(problem.reason, "No space left on device");
        EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 1u);
    }
    COutputGroup group;
    AddFiles(group, dir, {"a"});
    ASSERT_TRUE(group.Create().IsOk());
    const Problem problem = group.WriteFailed(0, "the picture is empty");
    EXPECT_EQ(problem.text, "cannot write a");
    EXPECT_EQ(problem.reason, "the picture is empty");
    EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 1u);
}

// Test that rows handed over in pieces of any size make the same file, that nothing reaches the
// file before a piece is full, and that a failed write is reported.
TEST(CsvStream, PiecesDoNotChangeTheBytes)
{
    CTempDir dir;
    std::string whole;
    for (const std::size_t piece : {std::size_t{1}, std::size_t{1000}, kCsvPieceBytes})
    {
        SCOPED_TRACE(piece);
        COutputFile file;
        ASSERT_TRUE(file.Create(dir.File("t.csv")));
        CCsvStream csv(file, piece);
        csv.Rows().HeaderRow("a,b");
        for (std::int64_t k = 0; k < 100; ++k)
        {
            csv.Rows().Field(k).Field(std::string_view("x,y")).EndRow();
            ASSERT_TRUE(csv.Pass());
            if (piece != 1000) // each row fills a piece of one byte; a hundred rows never fill a megabyte
            {
                EXPECT_EQ(csv.Rows().Text().empty(), piece == 1);
            }
        }
        ASSERT_TRUE(csv.Flush());
        EXPECT_TRUE(csv.Rows().Text().empty());
        ASSERT_TRUE(file.Commit());
        const std::string bytes = ReadWholeFile(dir.File("t.csv"));
        EXPECT_EQ(bytes.substr(0, 15), "a,b\n0,\"x,y\"\n1,\"");
        if (whole.empty())
            whole = bytes;
        EXPECT_EQ(bytes, whole);
    }
    COutputFile file;
    ASSERT_TRUE(file.Create(dir.File("f.csv")));
    CCsvStream csv(file, 1);
    CFileFaultScope faults;
    faults.Arm(FileOp::Write, 1, FileFaultKind::Fail, ENOSPC);
    csv.Rows().HeaderRow("a");
    EXPECT_FALSE(csv.Pass());
    EXPECT_EQ(file.GetProblem().error, ENOSPC);
}

// Test that every code has its own words, and an unknown one is named by its number.
TEST(ResultCodes, EveryCodeHasItsText)
{
    const int codes[] = {kOk, kErrNoInput, kErrOpen, kErrNoBand, kErrNoRecord, kErrCancelled, kErrDamaged};
    std::set<std::string> texts;
    for (const int code : codes)
    {
        const std::string text = ResultText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find("result"), std::string::npos) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));
    EXPECT_EQ(ResultText(kErrWrite), ResultText(kErrOpen)) << "one code for a failed write";
    EXPECT_EQ(ResultText(-9), "result -9");
    EXPECT_EQ(ResultText(7), "result 7");
}

// Test the one join of a folder and a name.
TEST(FileNames, JoinPathPutsOneSeparator)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"out", "a.csv", "out/a.csv"},
        {"out/", "a.csv", "out/a.csv"},
        {".", "a", "./a"},
        {"/", "a", "/a"},
        {"", "a", "/a"},
        {"a/b//", "c", "a/b//c"},
    };
    for (const auto& [dir, name, path] : cases)
        EXPECT_EQ(JoinPath(dir, name), path) << dir;
}
} // namespace
