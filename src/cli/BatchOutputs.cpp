#include "cli/BatchOutputs.h"

#include "base/File.h"

#include <algorithm>

std::optional<CBatchOutputSet> ParseBatchOutputs(std::string_view text)
{
    CBatchOutputSet set;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view name = text.substr(start, comma - start);
        const auto* found = std::find(kBatchOutputNames.begin(), kBatchOutputNames.end(), name);
        if (found == kBatchOutputNames.end())
            return std::nullopt;
        set.Add(static_cast<BatchOutput>(found - kBatchOutputNames.begin()));
        start = comma + 1;
    }
    return set;
}

TrackOutputPlace MakeBatchPlace(const std::string& outDir, const std::string& label)
{
    const std::size_t slash = label.find_last_of('/');
    TrackOutputPlace place;
    place.dir = slash == std::string::npos ? outDir : outDir + "/" + label.substr(0, slash);
    place.fileName = FileNameOfPath(label);
    place.label = label;
    return place;
}

std::vector<std::unique_ptr<ITrackOutput>> MakeBatchOutputs(const BatchSettings& settings,
                                                            const TrackOutputPlace& place)
{
    std::vector<std::unique_ptr<ITrackOutput>> outputs;
    if (settings.outputs.Has(BatchOutput::Events))
        outputs.push_back(MakeEventFilesOutput(place, settings.regions, settings.margin));
    if (settings.outputs.Has(BatchOutput::Visits))
        outputs.push_back(MakeVisitFilesOutput(place, settings.regions, settings.margin));
    if (settings.outputs.Has(BatchOutput::Records))
        outputs.push_back(MakeRecordsFileOutput(place));
    if (settings.outputs.Has(BatchOutput::Heatmap))
        outputs.push_back(MakeHeatmapOutput(place, settings.regions, settings.heatmap));
    if (settings.outputs.Has(BatchOutput::Plot))
        outputs.push_back(MakePlotOutput(place, settings.regions, settings.plot));
    if (settings.outputs.Has(BatchOutput::Quality))
        outputs.push_back(MakeQualityFileOutput(place, settings.quality));
    return outputs;
}
