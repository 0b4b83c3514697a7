#include "trackfile/PositionSource.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "trackfile/BlockReader.h"

#include <optional>
#include <vector>

namespace
{
// The key of the open track, or nothing (told when asked) when it cannot be read.
std::optional<TrackKeyReading> ReadKey(CBlockReader& reader, StoreReport report)
{
    std::optional<TrackKeyReading> key = ReadTrackKey(reader.File());
    if (!key && report == StoreReport::Tell)
    {
        const std::string text = "The positions of " + reader.Info().fileName +
                                 " could not be kept in the cache: the file could not be examined.";
        if (reader.File().GetLastError() != 0)
            ShowFileProblem(text, reader.Info().path, reader.File().GetProblem());
        else
            ShowMessage(text); // it got shorter while its ends were read
    }
    return key;
}
} // namespace

int ReadTrackPositions(const std::string& path, const CPositionCache* cache,
                       std::span<IPositionConsumer* const> consumers, const StreamProgress& progress,
                       StoreReport report, PositionPassSummary* summary)
{
    PositionPassSummary local;
    PositionPassSummary& told = summary != nullptr ? *summary : local;
    told = PositionPassSummary{};

    CBlockReader reader;
    if (const int opened = reader.Open(path); opened != kOk)
        return opened;
    std::optional<TrackKeyReading> key = cache != nullptr ? ReadKey(reader, report) : std::nullopt;
    if (key)
    {
        CPositionFileReader file;
        told.lookup = cache->Lookup(key->key, reader.Info(), file);
        if (told.lookup == CacheLookup::Hit)
        {
            const int served = file.Run(reader.Info(), consumers, progress);
            file.Close(); // before a store may replace it
            if (served != kErrDamaged)
            {
                told.from = PositionsFrom::Cache;
                return served;
            }
            told.lookup = CacheLookup::Damaged;
        }
        else if (told.lookup == CacheLookup::Unreadable)
        {
            // A folder whose files cannot be read is no place to store one: the track is read alone.
            if (report == StoreReport::Tell)
                ShowFileProblem("The position cache " + cache->PathFor(key->key) + " could not be read.",
                                cache->PathFor(key->key), file.GetProblem());
            key.reset();
        }
    }

    std::vector<IPositionConsumer*> fed(consumers.begin(), consumers.end());
    std::optional<CPositionStore> store;
    if (key)
    {
        store.emplace(*cache, *key, reader.File(), report);
        fed.push_back(&*store);
    }
    CRecordsToPositions positions(fed);
    IRecordConsumer* const recordConsumers[] = {&positions};
    const int result = reader.Run(recordConsumers, progress);
    told.from = PositionsFrom::Track;
    if (store)
        told.store = store->GetOutcome();
    return result;
}
