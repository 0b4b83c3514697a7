#include "outputs/OutputNames.h"

#include "base/File.h"

std::string TrackOutputPath(const TrackOutputPlace& place, std::string_view suffix)
{
    return JoinPath(place.dir, place.fileName + std::string(suffix));
}

std::string_view VisitCsvSuffix(VisitCsvKind kind)
{
    switch (kind)
    {
    case VisitCsvKind::Visits:
        return kVisitsFileSuffix;
    case VisitCsvKind::Regions:
        return kRegionsFileSuffix;
    case VisitCsvKind::Session:
        break;
    }
    return kSessionFileSuffix;
}

std::string MakeVisitCsvPath(const std::string& dir, const std::string& trackFileName, VisitCsvKind kind)
{
    return JoinPath(dir, trackFileName + std::string(VisitCsvSuffix(kind)));
}
