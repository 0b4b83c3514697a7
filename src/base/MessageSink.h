// The one channel through which the core talks to the user: modal messages with an OK button, the
// one Yes/No question, and the open/save file dialogs. The window installs a sink that shows real
// boxes and dialogs, tracktool one that prints to stderr, tests one that records and answers from
// a script. Code that is not the window never talks to the screen any other way.
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

class IMessageSink
{
public:
    virtual ~IMessageSink() = default;
    // A modal message box with an OK button; returns when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;
    // The Yes/No question; true for Yes.
    virtual bool AskYesNo(std::string_view text) = 0;
    // A modal file dialog; the full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> AskFileName(const FileDialogRequest& request) = 0;
};

// The sink in force. Without one installed, messages go to stderr, questions are answered Yes and
// file dialogs are cancelled.
IMessageSink& GetMessageSink();
// Installs a sink (not owned) and returns the previous one; nullptr restores the default.
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

// Builds the text MessageBoxWithNumber shows: at most the first 479 characters of text, then, when
// number is not 0, its signed decimal form appended with no separator.
std::string FormatMessageWithNumber(std::string_view text, std::int64_t number);

// Shows FormatMessageWithNumber(text, number) in a message box with an OK button.
void MessageBoxWithNumber(std::string_view text, std::int64_t number);
