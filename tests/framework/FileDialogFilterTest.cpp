#include "framework/FileDialogFilter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

// Test that the program's filters split into their entries, first entry first.
TEST(FileDialogFilter, ParsesEntries)
{
    EXPECT_EQ(ParseFileFilter("Zentravox Video Tracker Files (*.qtf)|*.qtf|Old Zentravox Files (*.dat)|*.dat|"
                              "All Files (*.*)|*.*||"),
              (std::vector<FileFilterEntry>{{"Zentravox Video Tracker Files (*.qtf)", "*.qtf"},
                                            {"Old Zentravox Files (*.dat)", "*.dat"},
                                            {"All Files (*.*)", "*.*"}}));
    EXPECT_EQ(ParseFileFilter("Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||").size(), 2u);
    EXPECT_EQ(ParseFileFilter("Only|*.x"), (std::vector<FileFilterEntry>{{"Only", "*.x"}}));
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Dangling name").empty());
}

// Test that the default extension goes only onto a file name without one.
TEST(FileDialogFilter, DefaultExtension)
{
    struct Case
    {
        const char* path;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/u/VT1", ".qtf", "/home/u/VT1.qtf"},
        {"/home/u/VT1.dat", ".qtf", "/home/u/VT1.dat"},
        {"/home/u.v/VT1", ".bmp", "/home/u.v/VT1.bmp"},
        {"plot", "bmp", "plot.bmp"},
        {"/home/u/VT1", "", "/home/u/VT1"},
        {"", ".qtf", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyDefaultExtension(c.path, c.extension), c.expected) << c.path;
}

// Test the open dialog's rule: the extension is added unless only the typed name exists.
TEST(FileDialogFilter, OpenNamesKeepAnExistingFileWithoutExtension)
{
    CTempDir dir;
    WriteWholeFile(dir.File("VT1.qtf"), "x");
    WriteWholeFile(dir.File("notes"), "x");
    WriteWholeFile(dir.File("both"), "x");
    WriteWholeFile(dir.File("both.qtf"), "x");
    struct Case
    {
        const char* name;
        FileDialogRequest::Kind kind;
        const char* expected;
    };
    const Case cases[] = {
        {"VT1", FileDialogRequest::Kind::Open, "VT1.qtf"},
        {"notes", FileDialogRequest::Kind::Open, "notes"},
        {"both", FileDialogRequest::Kind::Open, "both.qtf"},
        {"missing", FileDialogRequest::Kind::Open, "missing.qtf"},
        {"VT1.dat", FileDialogRequest::Kind::Open, "VT1.dat"},
        // Saving always adds it: the file is about to be made.
        {"notes", FileDialogRequest::Kind::Save, "notes.qtf"},
    };
    for (const Case& c : cases)
    {
        FileDialogRequest request;
        request.kind = c.kind;
        request.defaultExtension = ".qtf";
        EXPECT_EQ(ResolveFileDialogName(dir.File(c.name), request), dir.File(c.expected)) << c.name;
    }
}
