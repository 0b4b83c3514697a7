#include "analysis/QualityCsv.h"

void AddQualityCsvRow(CCsvBuilder& csv, const RecordQuality& quality)
{
    csv.Field(quality.record)
        .Field(quality.timestamp)
        .Field(quality.targets)
        .Field(CenterCaseName(quality.centerCase))
        .Field(quality.x)
        .Field(quality.y)
        .Field(quality.angle)
        .Field(quality.newX)
        .Field(quality.newY)
        .Field(quality.newAngle)
        .Fixed6(quality.distancePx)
        .Fixed6(quality.headingDifferenceDeg)
        .OptionalFixed6(quality.stepPx)
        .EndRow();
}
