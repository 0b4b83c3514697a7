#include "base/MessageSink.h"

#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>
#include <thread>

TEST(MessageBoxWithNumber, AppendsTheNumberWithoutSeparator)
{
    struct Case
    {
        std::string text;
        std::int64_t number;
        std::string shown;
    };
    const Case cases[] = {
        {"Timestamp=", 0, "Timestamp="},
        {"Timestamp=", 16667, "Timestamp=16667"},
        {"Err:", -2147221005, "Err:-2147221005"},
        {"n", INT64_MIN, "n-9223372036854775808"},
        {"n", INT64_MAX, "n9223372036854775807"},
        {std::string(479, 'a'), 5, std::string(479, 'a') + "5"},
        {std::string(480, 'b'), 0, std::string(479, 'b')},
        {std::string(600, 'c'), -1, std::string(479, 'c') + "-1"},
        {"", 0, ""},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        MessageBoxWithNumber(c.text, c.number);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0], c.shown);
    }
}

TEST(MessageSink, ScopedSinksNestAndRestore)
{
    CRecordingMessageSink outer;
    CRecordingMessageSink inner;
    {
        CScopedMessageSink a(outer);
        {
            CScopedMessageSink b(inner);
            ShowMessage("inner");
        }
        ShowMessage("outer");
    }
    EXPECT_EQ(inner.messages, std::vector<std::string>{"inner"});
    EXPECT_EQ(outer.messages, std::vector<std::string>{"outer"});
}

TEST(MessageSink, EachThreadHasItsOwnSink)
{
    CRecordingMessageSink mine;
    CRecordingMessageSink workers;
    CScopedMessageSink scoped(mine);
    std::thread worker(
        [&]
        {
            // A new thread starts with the default sink, not the one installed here.
            EXPECT_NE(&GetMessageSink(), &mine);
            CScopedMessageSink own(workers);
            ShowMessageWithReason("from the worker", "Permission denied");
        });
    worker.join();
    ShowMessage("from the main thread");
    EXPECT_EQ(mine.messages, std::vector<std::string>{"from the main thread"});
    EXPECT_EQ(workers.messages, std::vector<std::string>{"from the worker"});
    EXPECT_EQ(workers.reasons, std::vector<std::string>{"Permission denied"});
}

// Test that a sink with only the required members shows a reason's text alone and a summary as any
// message, so that no sink has to know every kind.
TEST(MessageSink, SinksThatShowTextsAloneDropTheReasonAndShowSummariesAsMessages)
{
    class CTextOnlySink final : public IMessageSink
    {
    public:
        void ShowMessage(std::string_view text) override { shown.emplace_back(text); }
        bool AskYesNo(std::string_view) override { return true; }
        std::optional<std::string> AskFileName(const FileDialogRequest&) override { return std::nullopt; }
        std::vector<std::string> shown;
    };
    CTextOnlySink sink;
    CScopedMessageSink scoped(sink);
    ShowMessageWithReason("Error opening file; Is the file/path name correct?", "No such file or directory");
    ShowInformation("3 files written");
    EXPECT_EQ(sink.shown, (std::vector<std::string>{"Error opening file; Is the file/path name correct?",
                                                    "3 files written"}));
}

TEST(RecordingMessageSink, AnswersFromTheScriptThenTheDefault)
{
    CRecordingMessageSink sink;
    sink.yesNoAnswers = {false};
    sink.defaultYesNo = true;
    sink.fileAnswers = {std::string("/tmp/x.bmp"), std::nullopt};
    EXPECT_FALSE(sink.AskYesNo("q1"));
    EXPECT_TRUE(sink.AskYesNo("q2"));
    EXPECT_EQ(sink.AskFileName({}), std::optional<std::string>("/tmp/x.bmp"));
    EXPECT_EQ(sink.AskFileName({}), std::nullopt);
    EXPECT_EQ(sink.AskFileName({}), std::nullopt);
    EXPECT_EQ(sink.questions.size(), 2u);
    EXPECT_EQ(sink.fileDialogs.size(), 3u);
}
