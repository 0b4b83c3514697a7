// The receipt of a track's outputs, <track>_receipt.json: which input they were made of (its path
// in the study, size, modification time and XXH3-128 hash), with which layout, options, settings
// and program version, and which files they are. The hash is taken in the same pass as the other
// outputs, from the bytes they read; the receipt ends last, so a track's outputs and its receipt
// are there together or not at all. A later run reads it back to decide whether the outputs still
// stand for what it would make now.
#pragma once

#include "base/OutputGroup.h"
#include "outputs/TrackOutput.h"
#include "trackfile/ContentHash.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr std::string_view kReceiptSuffix = "_receipt.json";

// "0123...ef": the canonical form of the hash, high half first, 32 lower-case hex digits.
[[nodiscard]] std::string HashText(const ContentHash& hash);

// A file's size and modification time (ISO 8601 UTC with nanoseconds) as a receipt names them.
struct InputStamp
{
    std::uint64_t bytes = 0;
    std::string modified;
    friend bool operator==(const InputStamp&, const InputStamp&) = default;
};
[[nodiscard]] std::optional<InputStamp> StampOf(const std::string& path);

// What a receipt holds besides the input's hash, as a run expects it.
struct ReceiptFacts
{
    std::string version;
    std::string input; // the track's path relative to the study
    // Compact JSON texts, keys sorted, so that equal values have equal texts.
    std::string layout = "null";      // {"file", "xxh3_128"} or null
    std::string options = "{}";       // every option that shapes an output, as used
    std::string settings = "{}";      // every analysis setting (SettingsReceipt)
    std::vector<std::string> outputs; // the file names written beside the receipt
};

// A receipt as read back: what it holds, or nothing when the text is not one.
struct ReadReceipt
{
    ReceiptFacts facts;
    InputStamp stamp;
    std::string hash;
};
[[nodiscard]] std::optional<ReadReceipt> ParseReceipt(std::string_view text);

// Why outputs with this receipt do not stand for what would be made now ("changed: layout",
// "changed: --bin", "changed: input", "missing: x.csv"); empty when they do. folder is where the
// outputs are; files, every file asked for.
[[nodiscard]] std::string ReceiptMismatch(const ReadReceipt& receipt, const ReceiptFacts& expected,
                                          const InputStamp& stamp, const std::vector<std::string>& files);

class CReceiptOutput final : public ITrackOutput
{
public:
    CReceiptOutput(std::string path, ReceiptFacts facts);

    [[nodiscard]] std::vector<std::string> Files() const override { return {m_strPath}; }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::WholeRecords; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override { m_file.Discard(); }

private:
    // Hashes length bytes of the input from offset (its header, its cut-off tail), which the pass
    // does not hand over.
    [[nodiscard]] bool HashInputBytes(std::uint64_t offset, std::uint64_t length);

    std::string m_strPath;
    ReceiptFacts m_facts;
    COutputGroup m_file;
    CContentHasher m_hasher;
    TrackSourceInfo m_source;
    InputStamp m_stamp;
};
