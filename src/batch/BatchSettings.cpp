#include "batch/BatchSettings.h"

#include "base/File.h"

TrackOutputPlace MakeBatchPlace(const std::string& outDir, const std::string& label)
{
    const std::size_t slash = label.find_last_of('/');
    TrackOutputPlace place;
    place.dir = slash == std::string::npos ? outDir : JoinPath(outDir, label.substr(0, slash));
    place.fileName = FileNameOfPath(label);
    place.label = label;
    return place;
}

std::vector<std::unique_ptr<ITrackOutput>> MakeBatchOutputs(const BatchSettings& settings,
                                                            const TrackOutputPlace& place)
{
    return MakeTrackOutputs(settings.outputs, settings.settings, place);
}
