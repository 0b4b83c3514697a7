// What the fuzz targets share around the code they test: a private scratch folder for the files a
// run writes, a message sink that keeps what the user would have been shown, and whole-file reads
// and writes for checking those files.
#pragma once

#include "base/MessageSink.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its contents when the object
// goes. One per fuzz process; Clear() empties it between inputs.
class CFuzzScratchDir
{
public:
    CFuzzScratchDir();
    ~CFuzzScratchDir();
    CFuzzScratchDir(const CFuzzScratchDir&) = delete;
    CFuzzScratchDir& operator=(const CFuzzScratchDir&) = delete;

    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    [[nodiscard]] std::string File(const std::string& name) const { return m_strPath + "/" + name; }
    // The names of the entries in the folder, sorted.
    [[nodiscard]] std::vector<std::string> List() const;
    // Removes everything in the folder.
    void Clear() const;

private:
    std::string m_strPath;
};

// Keeps every message; answers each question with a fixed answer and cancels every file dialog.
class CFuzzMessageSink final : public IMessageSink
{
public:
    void ShowMessage(std::string_view text) override { m_messages.emplace_back(text); }
    bool AskYesNo(std::string_view /*text*/) override
    {
        ++m_nQuestions;
        return m_bAnswer;
    }
    std::optional<std::string> AskFileName(const FileDialogRequest& /*request*/) override
    {
        return std::nullopt;
    }

    std::vector<std::string> m_messages;
    int m_nQuestions = 0;
    bool m_bAnswer = true;
};

// The whole file, or nothing when it cannot be read.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path);
// Replaces the file with the bytes; false on failure.
[[nodiscard]] bool WriteFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size);
