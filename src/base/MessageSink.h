// The one channel through which the core talks to the user: modal messages with an OK button (a
// problem, or a summary of work done), the Yes/No questions, and the open/save file dialogs. The
// window installs a sink that shows real boxes and dialogs, tracktool one that prints to stderr,
// tests one that records and answers from a script. Code that is not the window never talks to the
// screen any other way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a file dialog shows. The filter uses the "Name|*.ext|...||" form; its first entry is selected.
struct FileDialogRequest
{
    enum class Kind
    {
        Open,
        Save
    };
    Kind kind = Kind::Open;
    std::string title;
    std::string filter;
    std::string defaultExtension; // ".qtf": appended to a typed name without one; empty for none
    std::string initialName;      // file name shown when the dialog opens; empty for none
};

// The answer to a Yes/No/Cancel question.
enum class YesNoCancel : std::uint8_t
{
    Yes,
    No,
    Cancel,
};

class IMessageSink
{
public:
    virtual ~IMessageSink() = default;
    // A modal message box with an OK button; returns when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;
    // The same message with the system's reason for a failure ("Permission denied"). The window
    // keeps its texts exactly and shows the text alone; tracktool prints the reason on the next line.
    virtual void ShowMessageWithReason(std::string_view text, std::string_view /*reason*/)
    {
        ShowMessage(text);
    }
    // A summary of work that went well ("3 files written"), as a modal box with an OK button. It
    // tells no problem, so the window shows it with the information icon rather than the warning
    // one; sinks without such a distinction show it as any message.
    virtual void ShowInformation(std::string_view text) { ShowMessage(text); }
    // The Yes/No question; true for Yes.
    virtual bool AskYesNo(std::string_view text) = 0;
    // A question that may also be left unanswered ("Save changes to the regions?"). Sinks without
    // such a box ask it as the Yes/No question.
    virtual YesNoCancel AskYesNoCancel(std::string_view text)
    {
        return AskYesNo(text) ? YesNoCancel::Yes : YesNoCancel::No;
    }
    // A modal file dialog; the full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> AskFileName(const FileDialogRequest& request) = 0;
};

// The sink in force on the calling thread. Without one installed, messages go to stderr, questions
// are answered Yes and file dialogs are cancelled. Each thread has its own, so that runs on worker
// threads (a batch over many files) can collect their messages apart; a new thread starts with
// none installed.
IMessageSink& GetMessageSink();
// Installs a sink (not owned) for the calling thread and returns the previous one; nullptr
// restores the default.
IMessageSink* SetMessageSink(IMessageSink* sink);

// Installs a sink for the lifetime of the object and restores the previous one afterwards.
class CScopedMessageSink
{
public:
    explicit CScopedMessageSink(IMessageSink& sink) : m_pPrevious(SetMessageSink(&sink)) {}
    ~CScopedMessageSink() { SetMessageSink(m_pPrevious); }
    CScopedMessageSink(const CScopedMessageSink&) = delete;
    CScopedMessageSink& operator=(const CScopedMessageSink&) = delete;

private:
    IMessageSink* m_pPrevious;
};

// Shows text alone through the sink.
void ShowMessage(std::string_view text);
// Shows text through the sink with the system's reason for the failure (see IMessageSink).
void ShowMessageWithReason(std::string_view text, std::string_view reason);

// Builds the text MessageBoxWithNumber shows: at most the first 479 characters of text, then, when
// number is not 0, its signed decimal form appended with no separator.
std::string FormatMessageWithNumber(std::string_view text, std::int64_t number);

// Shows a summary of work that went well through the sink (see IMessageSink).
void ShowInformation(std::string_view text);

// Shows FormatMessageWithNumber(text, number) in a message box with an OK button.
void MessageBoxWithNumber(std::string_view text, std::int64_t number);
