#include "base/MessageSink.h"

#include <cstdio>

namespace
{
// Default sink: one line per message on stderr, so that nothing is lost when no window exists.
class CStderrMessageSink final : public IMessageSink
{
public:
    void ShowMessage(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool AskYesNo(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s [answered Yes]\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    void ShowMessageWithReason(std::string_view text, std::string_view reason) override
    {
        ShowMessage(text);
        if (!reason.empty())
            std::fprintf(stderr, "%.*s\n", static_cast<int>(reason.size()), reason.data());
    }
    std::optional<std::string> AskFileName(const FileDialogRequest&) override { return std::nullopt; }
};

CStderrMessageSink g_stderrSink;
thread_local IMessageSink* g_pSink = nullptr;

// The message box of the original platform takes the text into a 480-byte buffer.
constexpr std::size_t kMaxMessageText = 479;
} // namespace

IMessageSink& GetMessageSink()
{
    return g_pSink != nullptr ? *g_pSink : g_stderrSink;
}

IMessageSink* SetMessageSink(IMessageSink* sink)
{
    IMessageSink* previous = g_pSink;
    g_pSink = sink;
    return previous;
}

void ShowMessage(std::string_view text)
{
    GetMessageSink().ShowMessage(text);
}

void ShowMessageWithReason(std::string_view text, std::string_view reason)
{
    GetMessageSink().ShowMessageWithReason(text, reason);
}

void ShowInformation(std::string_view text)
{
    GetMessageSink().ShowInformation(text);
}

std::string FormatMessageWithNumber(std::string_view text, std::int64_t number)
{
    std::string message(text.substr(0, kMaxMessageText));
    if (number != 0)
        message += std::to_string(number);
    return message;
}

void MessageBoxWithNumber(std::string_view text, std::int64_t number)
{
    ShowMessage(FormatMessageWithNumber(text, number));
}
