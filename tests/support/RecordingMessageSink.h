// A message sink that records what the user would have been shown and answers questions and file
// dialogs from queues set up beforehand. Used by tests and by scripted runs.
#pragma once

#include "base/MessageSink.h"

#include <deque>
#include <string>
#include <vector>

class CRecordingMessageSink final : public IMessageSink
{
public:
    struct Question
    {
        std::string text;
        bool answer = false;
    };

    void ShowMessage(std::string_view text) override
    {
        messages.emplace_back(text);
        reasons.emplace_back();
    }
    void ShowMessageWithReason(std::string_view text, std::string_view reason) override
    {
        messages.emplace_back(text);
        reasons.emplace_back(reason);
    }
    bool AskYesNo(std::string_view text) override
    {
        const bool answer = yesNoAnswers.empty() ? defaultYesNo : yesNoAnswers.front();
        if (!yesNoAnswers.empty())
            yesNoAnswers.pop_front();
        questions.push_back({std::string(text), answer});
        return answer;
    }
    std::optional<std::string> AskFileName(const FileDialogRequest& request) override
    {
        fileDialogs.push_back(request);
        if (fileAnswers.empty())
            return std::nullopt;
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> messages;          // every message shown, in order
    std::vector<std::string> reasons;           // the system's reason given with each (often empty)
    std::vector<Question> questions;            // every Yes/No question asked, with the answer given
    std::vector<FileDialogRequest> fileDialogs; // every file dialog shown
    std::deque<bool> yesNoAnswers;              // answers to give, in order; then defaultYesNo
    bool defaultYesNo = true;
    std::deque<std::optional<std::string>> fileAnswers; // paths to choose (nullopt: cancel); then cancel
};
