#include "batch/BatchShard.h"

#include "base/NumberText.h"

#include <array>
#include <vector>

namespace
{
constexpr const char* kTaskId = "SLURM_ARRAY_TASK_ID";
constexpr const char* kTaskCount = "SLURM_ARRAY_TASK_COUNT";
constexpr const char* kTaskMin = "SLURM_ARRAY_TASK_MIN";
} // namespace

std::optional<BatchShard> ParseShard(std::string_view text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const auto count = ParseWholeNumber(text.substr(slash + 1), 1, kMaxShards);
    if (!count)
        return std::nullopt;
    const auto index = ParseWholeNumber(text.substr(0, slash), 0, *count - 1);
    if (!index)
        return std::nullopt;
    return BatchShard{static_cast<std::uint32_t>(*index), static_cast<std::uint32_t>(*count)};
}

std::optional<BatchShard> ShardFromEnvironment(const EnvironmentLookup& lookup, std::string& problem)
{
    std::array<std::int64_t, 3> values{};
    const std::array<const char*, 3> names = {kTaskId, kTaskCount, kTaskMin};
    std::vector<std::string> missing;
    for (std::size_t k = 0; k < names.size(); ++k)
    {
        const char* text = lookup(names[k]);
        if (text == nullptr)
        {
            missing.emplace_back(names[k]);
            continue;
        }
        const auto value = ParseWholeNumber(text, 0, kHighestOf<std::int32_t>);
        if (!value)
        {
            problem = std::string(names[k]) + " is '" + text + "', not a whole number";
            return std::nullopt;
        }
        values[k] = *value;
    }
    if (!missing.empty())
    {
        problem = missing.front();
        for (std::size_t k = 1; k < missing.size(); ++k)
            problem += (k + 1 == missing.size() ? " and " : ", ") + missing[k];
        problem += (missing.size() == 1 ? " is" : " are") + std::string(" not set (an array job sets them)");
        return std::nullopt;
    }
    const std::int64_t index = values[0] - values[2];
    const std::int64_t count = values[1];
    if (count < 1 || count > kMaxShards || index < 0 || index >= count)
    {
        problem = std::string(kTaskId) + " " + std::to_string(values[0]) + " minus " + kTaskMin + " " +
                  std::to_string(values[2]) + " is not a shard of " + kTaskCount + " " +
                  std::to_string(count) + " (the array's ids must run without gaps)";
        return std::nullopt;
    }
    return BatchShard{static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(count)};
}

std::string ShardSuffix(const BatchShard& shard)
{
    return ".shard-" + std::to_string(shard.index) + "-of-" + std::to_string(shard.count);
}
