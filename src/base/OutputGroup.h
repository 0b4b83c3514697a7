// COutputGroup: the files of one output written side by side and put in place together, or none
// of them (a visit table's three files, a heatmap's picture and matrix, a batch's status and
// summaries). Each file is a COutputFile, so until Commit every destination keeps what it had.
//
// Each file carries the two messages that name it: when it cannot be created and when it cannot be
// written. A failure comes back as a Problem with that message and the file's reason (kErrWrite),
// and then every file of the group is dropped.
#pragma once

#include "base/OutputFile.h"
#include "base/Problem.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct OutputFileTexts
{
    std::string cannotCreate; // "Cannot create the CSV file x.csv; no visit tables were written."
    std::string cannotWrite;  // "Cannot write to the CSV file x.csv; no visit tables were written."
};

class COutputGroup
{
public:
    COutputGroup() = default;
    COutputGroup(const COutputGroup&) = delete;
    COutputGroup& operator=(const COutputGroup&) = delete;

    // Adds a file to the group (before Create); its index. Files are created and put in place in
    // the order they were added.
    std::size_t Add(std::string path, OutputFileTexts texts);

    // Checks every destination and creates its temporary file; the first refusal, with nothing
    // left created.
    [[nodiscard]] Problem Create();
    // Appends bytes to file k.
    [[nodiscard]] Problem Write(std::size_t k, std::string_view bytes);
    // File k itself, for a writer that encodes into it; when it fails, WriteFailed tells why.
    [[nodiscard]] COutputFile& File(std::size_t k);
    // The problem of file k that could not be written: its message with reason, or the file's own
    // reason when reason is empty. Every file is dropped.
    [[nodiscard]] Problem WriteFailed(std::size_t k, std::string reason = {});
    // Puts every file in place, or none (CommitAll; a single file is renamed over its destination).
    [[nodiscard]] Problem Commit();
    // Drops every file; the destinations keep what they had.
    void Discard();

    [[nodiscard]] std::size_t Size() const { return m_members.size(); }
    [[nodiscard]] const std::string& Path(std::size_t k) const;
    // Every file's destination, in the order they were added.
    [[nodiscard]] std::vector<std::string> Paths() const;

private:
    struct Member
    {
        std::string path;
        OutputFileTexts texts;
        std::unique_ptr<COutputFile> file = std::make_unique<COutputFile>();
    };

    [[nodiscard]] Member& At(std::size_t k);

    std::vector<Member> m_members;
};
