// The table of outputs: the names --outputs takes, the list the help texts show, and the outputs a
// batch makes for a track, in the table's order and named as the single-file commands name them.
#include "outputs/OutputKinds.h"

#include <gtest/gtest.h>

namespace
{
// Test which output lists are taken, and what each holds.
TEST(OutputKinds, OutputListsNameKnownOutputs)
{
    const std::vector<std::pair<std::string, std::optional<std::vector<std::string>>>> cases = {
        {"events", std::vector<std::string>{"events"}},
        {"quality,events", std::vector<std::string>{"events", "quality"}},
        {"events,visits,records,heatmap,plot,quality",
         std::vector<std::string>{"events", "visits", "records", "heatmap", "plot", "quality"}},
        {"visits,visits", std::vector<std::string>{"visits"}},
        {"records,records", std::vector<std::string>{"records"}},
        {"events,visits,records,quality", std::vector<std::string>{"events", "visits", "records", "quality"}},
        {"sensitivity,visits", std::vector<std::string>{"visits", "sensitivity"}},
        {"sensitivity,", std::nullopt},
        {"", std::nullopt},
        {"event", std::nullopt},
        {"events,,visits", std::nullopt},
        {"events,", std::nullopt},
        {",events", std::nullopt},
        {"Events", std::nullopt},
        {"events visits", std::nullopt},
        {"csv", std::nullopt},
    };
    for (const auto& [text, names] : cases)
    {
        const std::optional<COutputSet> set = ParseOutputList(text);
        ASSERT_EQ(set.has_value(), names.has_value()) << text;
        if (!set)
            continue;
        std::vector<std::string> got;
        for (const OutputKind& kind : kOutputKinds)
            if (set->Has(kind.name))
                got.emplace_back(kind.name);
        EXPECT_EQ(got, *names) << text;
    }
    const std::optional<COutputSet> defaults = ParseOutputList(kDefaultOutputList);
    ASSERT_TRUE(defaults.has_value());
    EXPECT_FALSE(defaults->IsEmpty());
    EXPECT_TRUE(COutputSet().IsEmpty());
    EXPECT_FALSE(defaults->Has("nothing"));
    // The sensitivity is asked for, never made unasked.
    EXPECT_FALSE(defaults->Has("sensitivity"));
}

// Test the names as the help texts list them, and finding a row by its name.
TEST(OutputKinds, NamesInTheTablesOrder)
{
    EXPECT_EQ(OutputKindNames(", "), "events, visits, records, heatmap, plot, sensitivity, quality");
    EXPECT_EQ(OutputKindNames(","), "events,visits,records,heatmap,plot,sensitivity,quality");
    for (std::size_t kind = 0; kind < kOutputKinds.size(); ++kind)
        EXPECT_EQ(FindOutputKind(kOutputKinds[kind].name), kind);
    EXPECT_FALSE(FindOutputKind("").has_value());
    EXPECT_FALSE(FindOutputKind("plots").has_value());
}

// Test that the outputs of a set come in the table's order, whatever the list's, each announcing
// the files its single-file command writes at the place.
TEST(OutputKinds, OutputsOfASetAreNamedByThePlace)
{
    OutputSettings settings;
    settings.regions.m_nRegionCount = 1;
    settings.regions.m_regionNames[0] = "arm";
    const TrackOutputPlace place{"out/day1", "VT1.qtf", "day1/VT1.qtf"};
    const std::optional<COutputSet> set =
        ParseOutputList("sensitivity,quality,plot,heatmap,records,visits,events");
    ASSERT_TRUE(set.has_value());
    const std::vector<std::unique_ptr<ITrackOutput>> outputs = MakeTrackOutputs(*set, settings, place);
    const std::vector<std::vector<std::string>> files = {
        {"out/day1/VT1.qtf_arm_Enter.qsf", "out/day1/VT1.qtf_arm_Leave.qsf"},
        {"out/day1/VT1.qtf_visits.csv", "out/day1/VT1.qtf_regions.csv", "out/day1/VT1.qtf_session.csv"},
        {"out/day1/VT1.qtf_track.csv"},
        {"out/day1/VT1.qtf_heatmap.png", "out/day1/VT1.qtf_occupancy.csv"},
        {"out/day1/VT1.qtf_plot.png"},
        {"out/day1/VT1.qtf_sensitivity.csv", "out/day1/VT1.qtf_sensitivity.png"},
        {"out/day1/VT1.qtf_quality.txt"},
    };
    ASSERT_EQ(outputs.size(), files.size());
    for (std::size_t k = 0; k < outputs.size(); ++k)
        EXPECT_EQ(outputs[k]->Files(), files[k]) << kOutputKinds[k].name;
    EXPECT_TRUE(MakeTrackOutputs(COutputSet(), settings, place).empty());
}
} // namespace
