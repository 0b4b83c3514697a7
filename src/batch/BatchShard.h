// Shards of a batch: the sorted list of tracks split so that shard K of N takes every track whose
// index in the list is K modulo N. Each shard of an array job on a cluster runs the same command
// with its own K; "--shard auto" reads K and N from the scheduler's array variables.
#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct BatchShard
{
    std::uint32_t index = 0; // K, 0 .. count-1
    std::uint32_t count = 1; // N
    friend bool operator==(const BatchShard&, const BatchShard&) = default;
};

// The largest N a shard may be one of.
inline constexpr std::uint32_t kMaxShards = 1000000;

// "K/N" with whole numbers, 1 <= N <= kMaxShards and 0 <= K < N; nothing otherwise.
[[nodiscard]] std::optional<BatchShard> ParseShard(std::string_view text);

// Reads a variable of the environment: its value, or nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The shard of an array task: K = SLURM_ARRAY_TASK_ID - SLURM_ARRAY_TASK_MIN, N =
// SLURM_ARRAY_TASK_COUNT. Nothing, with problem saying which variables are not set or what is
// wrong with them, when they do not give a shard.
[[nodiscard]] std::optional<BatchShard> ShardFromEnvironment(const EnvironmentLookup& lookup,
                                                             std::string& problem);

// Whether the track at index of the sorted list belongs to the shard.
[[nodiscard]] constexpr bool IsInShard(std::size_t index, const BatchShard& shard)
{
    assert(shard.count > 0 && shard.index < shard.count && "a shard K of N with 0 <= K < N");
    return index % shard.count == shard.index;
}

// ".shard-K-of-N", the part of the status and summary file names that tells the shards apart.
[[nodiscard]] std::string ShardSuffix(const BatchShard& shard);
