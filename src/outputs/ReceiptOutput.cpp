#include "outputs/ReceiptOutput.h"

#include "base/File.h"
#include "base/ResultCodes.h"
#include "trackfile/TrackFileHeader.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

using Json = nlohmann::ordered_json;

std::string HashText(const ContentHash& hash)
{
    constexpr std::size_t kDigits = 32;
    std::array<char, kDigits + 1> text{};
    std::snprintf(text.data(), text.size(), "%016llx%016llx", static_cast<unsigned long long>(hash.high),
                  static_cast<unsigned long long>(hash.low));
    return std::string(text.data(), kDigits);
}

std::optional<InputStamp> StampOf(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    std::tm utc = {};
    const std::time_t seconds = st.st_mtim.tv_sec;
    if (::gmtime_r(&seconds, &utc) == nullptr)
        return std::nullopt;
    std::array<char, 64> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &utc);
    std::array<char, 16> nanos{};
    std::snprintf(nanos.data(), nanos.size(), ".%09ldZ", static_cast<long>(st.st_mtim.tv_nsec));
    return InputStamp{static_cast<std::uint64_t>(st.st_size),
                      std::string(text.data(), length) + nanos.data()};
}

std::optional<ReadReceipt> ParseReceipt(std::string_view text)
{
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        return std::nullopt;
    const auto stringAt = [](const Json& object, const char* key) -> std::optional<std::string>
    {
        const auto it = object.find(key);
        if (it == object.end() || !it->is_string())
            return std::nullopt;
        return it->get<std::string>();
    };
    const auto input = json.find("input");
    const auto outputs = json.find("outputs");
    if (stringAt(json, "program") != "trackplay" || input == json.end() || !input->is_object() ||
        outputs == json.end() || !outputs->is_array())
        return std::nullopt;
    ReadReceipt read;
    const std::optional<std::string> version = stringAt(json, "version");
    const std::optional<std::string> file = stringAt(*input, "file");
    const std::optional<std::string> modified = stringAt(*input, "modified");
    const std::optional<std::string> hash = stringAt(*input, "xxh3_128");
    const auto bytes = input->find("bytes");
    if (!version || !file || !modified || !hash || bytes == input->end() || !bytes->is_number_unsigned())
        return std::nullopt;
    read.facts.version = *version;
    read.facts.input = *file;
    read.stamp = InputStamp{bytes->get<std::uint64_t>(), *modified};
    read.hash = *hash;
    for (const char* key : {"layout", "options", "settings"})
        if (!json.contains(key))
            return std::nullopt;
    read.facts.layout = nlohmann::json(json["layout"]).dump();
    read.facts.options = nlohmann::json(json["options"]).dump();
    read.facts.settings = nlohmann::json(json["settings"]).dump();
    for (const Json& name : *outputs)
    {
        if (!name.is_string())
            return std::nullopt;
        read.facts.outputs.push_back(name.get<std::string>());
    }
    return read;
}

std::string ReceiptMismatch(const ReadReceipt& receipt, const ReceiptFacts& expected, const InputStamp& stamp,
                            const std::vector<std::string>& files)
{
    if (receipt.facts.input != expected.input || !(receipt.stamp == stamp))
        return "changed: input";
    if (receipt.facts.layout != expected.layout)
        return "changed: layout";
    if (receipt.facts.options != expected.options)
    {
        const nlohmann::json was = nlohmann::json::parse(receipt.facts.options, nullptr, false);
        const nlohmann::json now = nlohmann::json::parse(expected.options, nullptr, false);
        if (was.is_object() && now.is_object())
            for (const auto& [key, value] : now.items())
                if (!was.contains(key) || was[key] != value)
                    return "changed: --" + key;
        return "changed: options";
    }
    if (receipt.facts.settings != expected.settings)
        return "changed: settings";
    if (receipt.facts.version != expected.version)
        return "changed: version";
    for (const std::string& file : files)
    {
        const std::string name = FileNameOfPath(file);
        const bool listed = std::find(receipt.facts.outputs.begin(), receipt.facts.outputs.end(), name) !=
                            receipt.facts.outputs.end();
        if (!listed || !StampOf(file))
            return "missing: " + name;
    }
    return {};
}

CReceiptOutput::CReceiptOutput(std::string path, ReceiptFacts facts)
    : m_strPath(std::move(path)), m_facts(std::move(facts))
{
    m_file.Add(m_strPath,
               OutputFileTexts{"Cannot create the receipt " + m_strPath + "; no outputs were written.",
                               "Cannot write to the receipt " + m_strPath + "; no outputs were written."});
}

Problem CReceiptOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    return m_file.Create();
}

bool CReceiptOutput::HashInputBytes(std::uint64_t offset, std::uint64_t length)
{
    if (length == 0)
        return true;
    std::ifstream in(m_source.path, std::ios::binary);
    std::string bytes(length, '\0');
    if (!in.seekg(static_cast<std::streamoff>(offset)) ||
        !in.read(bytes.data(), static_cast<std::streamsize>(length)))
        return false;
    m_hasher.Update(bytes.data(), bytes.size());
    return true;
}

Problem CReceiptOutput::Begin(const TrackSourceInfo& source)
{
    m_source = source;
    m_hasher.Reset();
    const std::optional<InputStamp> stamp = StampOf(source.path);
    if (!stamp || !HashInputBytes(0, source.hasHeader ? kTrackHeaderSize : 0))
        return m_file.WriteFailed(0, "the track cannot be read again");
    m_stamp = *stamp;
    return {};
}

Problem CReceiptOutput::Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/)
{
    m_hasher.Update(records.data(), records.size_bytes());
    return {};
}

Problem CReceiptOutput::End()
{
    const std::uint64_t recordsEnd =
        (m_source.hasHeader ? kTrackHeaderSize : 0) + m_source.records * std::uint64_t{kTrackRecordSize};
    if (!HashInputBytes(recordsEnd, m_source.tailBytes))
        return m_file.WriteFailed(0, "the track cannot be read again");
    Json receipt;
    receipt["program"] = "trackplay";
    receipt["version"] = m_facts.version;
    receipt["input"] = Json{{"file", m_facts.input},
                            {"bytes", m_stamp.bytes},
                            {"modified", m_stamp.modified},
                            {"xxh3_128", HashText(m_hasher.Digest())}};
    receipt["layout"] = Json::parse(m_facts.layout, nullptr, false);
    receipt["options"] = Json::parse(m_facts.options, nullptr, false);
    receipt["settings"] = Json::parse(m_facts.settings, nullptr, false);
    receipt["outputs"] = m_facts.outputs;
    const std::string text = receipt.dump(2) + "\n";
    if (Problem written = m_file.Write(0, text); !written.IsOk())
        return written;
    return m_file.Commit();
}
