// tracktool's message sink, writing to a temporary file in place of stderr.
#include "cli/ToolMessageSink.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{
// What the sink wrote while action ran with it installed.
template <typename Action> std::string Written(Action action)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    EXPECT_NE(file, nullptr);
    if (file == nullptr)
        return {};
    CToolMessageSink sink(file.get());
    {
        CScopedMessageSink scoped(sink);
        action(sink);
    }
    std::rewind(file.get());
    std::string text;
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get()))
        text += static_cast<char>(c);
    return text;
}

// Test that each message is a line of its own, with the reason, when there is one, on the next.
TEST(ToolMessageSink, MessagesAndReasonsAreLinesOfTheirOwn)
{
    struct Case
    {
        const char* text;
        const char* reason; // nullptr: shown without one
        std::string expected;
    };
    const Case cases[] = {
        {"Error opening file; Is the file/path name correct?", nullptr,
         "Error opening file; Is the file/path name correct?\n"},
        {"Error opening file; Is the file/path name correct?", "Is a directory",
         "Error opening file; Is the file/path name correct?\nIs a directory\n"},
        {"Conversion Completed", "", "Conversion Completed\n"}, // no empty reason line
        {"Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147221503", "No such file",
         "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147221503\nNo such file\n"},
        {"", nullptr, "\n"},
    };
    for (const Case& c : cases)
    {
        // Through the thread's sink, as the core reaches it.
        const std::string written = Written(
            [&c](IMessageSink&)
            {
                if (c.reason == nullptr)
                    ShowMessage(c.text);
                else
                    ShowMessageWithReason(c.text, c.reason);
            });
        EXPECT_EQ(written, c.expected);
    }
}

// Test that the Yes/No question is shown with its answer, Yes, and that file dialogs are cancelled.
TEST(ToolMessageSink, AnswersYesAndCancelsFileDialogs)
{
    bool answer = false;
    std::optional<std::string> chosen = "unchanged";
    const std::string written = Written(
        [&](IMessageSink& sink)
        {
            answer =
                GetMessageSink().AskYesNo("This will result in plotting 10001 records which will take a long "
                                          "time, do you wish to continue?");
            chosen = sink.AskFileName(FileDialogRequest{});
        });
    EXPECT_TRUE(answer);
    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(written,
              "This will result in plotting 10001 records which will take a long time, do you wish to "
              "continue? [Yes]\n");
}
} // namespace
