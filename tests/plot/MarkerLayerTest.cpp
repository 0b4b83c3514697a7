// The marker layer against the markers drawn one by one: the same pixels and the same surface state
// for random tracks, markers at the edges, beyond them and far off, any angle, markers piled on one
// spot, a surface left in exclusive-or mode, and layers painted once or often; the records of blocks
// chosen every Nth; and the whole of a long track in one surface operation.
#include "plot/MarkerLayer.h"

#include "PlotTestSupport.h"
#include "plot/TrackPlot.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/BlockReader.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace
{
struct Pose
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t angle = 0;
};

enum class Placement
{
    Anywhere,  // uniform over the surface and 60 pixels beyond each side
    Edges,     // from the edges to a little past the reach beyond every side
    FarOff,    // the 32-bit extremes and far-off values among ordinary ones
    Wandering, // a walk of small steps and turns, as a subject moves
    OneSpot,   // every marker within 4 pixels of one point
};

enum class Angles
{
    Degrees,  // 0 to 359
    AnyInt32, // the whole 32-bit range
};

std::vector<Pose> MakePoses(Placement placement, Angles angles, std::size_t count, std::int32_t width,
                            std::int32_t height, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto uniform = [&random](std::int64_t from, std::int64_t to)
    { return static_cast<std::int32_t>(std::uniform_int_distribution<std::int64_t>(from, to)(random)); };
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    std::vector<Pose> poses;
    Pose walker{width / 2, height / 2, 0};
    for (std::size_t i = 0; i < count; ++i)
    {
        Pose pose;
        switch (placement)
        {
        case Placement::Anywhere:
            pose = Pose{uniform(-60, width + 60), uniform(-60, height + 60), 0};
            break;
        case Placement::Edges:
        {
            // From just inside the surface to just past the reach beyond one side, anywhere along
            // the other axis: the markers that show in part, and the first ones that do not.
            const std::int32_t beyond = uniform(-2, kMarkerReach + 3);
            const std::int32_t along = uniform(-kMarkerReach, std::max(width, height) + kMarkerReach);
            const std::int32_t side = uniform(0, 3);
            const std::int32_t across = side % 2 == 0 ? -beyond : (side < 2 ? width : height) - 1 + beyond;
            pose = side < 2 ? Pose{across, along, 0} : Pose{along, across, 0};
            break;
        }
        case Placement::FarOff:
        {
            const std::int32_t extremes[] = {kMin, kMax, kMin + 1, kMax - 1, -1000000000, 1000000000};
            const bool far = uniform(0, 1) == 0;
            pose = Pose{far ? extremes[uniform(0, 5)] : uniform(0, width),
                        far ? uniform(kMin, kMax) : uniform(0, height), 0};
            break;
        }
        case Placement::Wandering:
            walker.x = std::clamp(walker.x + uniform(-3, 3), -40, width + 40);
            walker.y = std::clamp(walker.y + uniform(-3, 3), -40, height + 40);
            pose = walker;
            break;
        case Placement::OneSpot:
            pose = Pose{width / 3 + uniform(-4, 4), height / 3 + uniform(-4, 4), 0};
            break;
        }
        pose.angle = angles == Angles::Degrees ? uniform(0, 359) : uniform(kMin, kMax);
        poses.push_back(pose);
    }
    return poses;
}

// A plot on a surface of noise, with the surface's pen, raster operation and current position set.
struct Picture
{
    Picture(std::int32_t width, std::int32_t height, std::uint32_t seed, RasterOp op) : surface(width, height)
    {
        plot.Attach(&surface, width, height, nullptr); // clears; the noise comes after
        FillRandom(surface, seed);
        surface.SelectPen(Rgb{1, 2, 3});
        surface.SetROP2(op);
        surface.MoveToEx(7, 9);
    }
    CDrawingSurface surface;
    CTrackPlot plot;
};

void ExpectSamePicture(const CDrawingSurface& got, const CDrawingSurface& want)
{
    EXPECT_TRUE(AllPixels(got) == AllPixels(want)) << "the pixels differ";
    EXPECT_EQ(got.PenColour(), want.PenColour());
    EXPECT_EQ(got.GetROP2(), want.GetROP2());
    EXPECT_EQ(got.CurrentPosition(), want.CurrentPosition());
    EXPECT_EQ(got.GetBkColor(), want.GetBkColor());
}

void DrawOneByOne(Picture& picture, const std::vector<Pose>& poses)
{
    for (const Pose& pose : poses)
        ASSERT_EQ(picture.plot.DrawPositionMarker(MakeRecord(0, pose.x, pose.y, pose.angle)), 0);
}
} // namespace

TEST(MarkerLayer, SameAsDrawingEachMarkerInTurn)
{
    struct Case
    {
        const char* what;
        Placement placement;
        Angles angles;
        std::size_t count;
        std::int32_t width;
        std::int32_t height;
        RasterOp before;
        std::size_t markersPerPaint; // 0: one paint at the end
    };
    const Case cases[] = {
        {"anywhere", Placement::Anywhere, Angles::Degrees, 3000, 640, 480, RasterOp::Copy, 0},
        {"edges and beyond", Placement::Edges, Angles::Degrees, 3000, 640, 480, RasterOp::Copy, 0},
        {"far off", Placement::FarOff, Angles::AnyInt32, 2000, 640, 480, RasterOp::Copy, 0},
        {"any angle", Placement::Wandering, Angles::AnyInt32, 4000, 640, 480, RasterOp::Copy, 0},
        {"wandering", Placement::Wandering, Angles::Degrees, 20000, 640, 480, RasterOp::Copy, 0},
        {"one spot", Placement::OneSpot, Angles::Degrees, 2000, 640, 480, RasterOp::Copy, 0},
        {"after exclusive-or", Placement::Anywhere, Angles::Degrees, 500, 640, 480, RasterOp::Xor, 0},
        {"painted often", Placement::Wandering, Angles::Degrees, 3000, 640, 480, RasterOp::Xor, 7},
        {"painted after each", Placement::Edges, Angles::Degrees, 300, 640, 480, RasterOp::Copy, 1},
        {"smaller than a marker", Placement::Anywhere, Angles::Degrees, 400, 7, 5, RasterOp::Copy, 0},
        {"one pixel", Placement::OneSpot, Angles::AnyInt32, 50, 1, 1, RasterOp::Copy, 3},
        {"no pixels", Placement::Anywhere, Angles::Degrees, 50, 0, 0, RasterOp::Xor, 0},
    };
    std::uint32_t seed = 100;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ++seed;
        const std::vector<Pose> poses = MakePoses(c.placement, c.angles, c.count, c.width, c.height, seed);
        Picture oneByOne(c.width, c.height, seed, c.before);
        DrawOneByOne(oneByOne, poses);

        Picture layered(c.width, c.height, seed, c.before);
        CMarkerLayer layer(c.width, c.height);
        for (std::size_t i = 0; i < poses.size(); ++i)
        {
            layer.Add(poses[i].x, poses[i].y, poses[i].angle);
            if (c.markersPerPaint != 0 && (i + 1) % c.markersPerPaint == 0)
            {
                ASSERT_EQ(layered.plot.DrawMarkerLayer(layer), 0);
            }
        }
        ASSERT_EQ(layered.plot.DrawMarkerLayer(layer), 0);
        EXPECT_EQ(layer.Pending(), 0u);
        ExpectSamePicture(layered.surface, oneByOne.surface);
    }
}

// Every pixel of a marker, at every heading, lies within the reach of its position: markers
// further off than that are never marked.
TEST(MarkerLayer, MarkersStayWithinTheirReach)
{
    std::vector<std::int32_t> angles;
    for (std::int32_t angle = -360; angle < 720; ++angle)
        angles.push_back(angle);
    angles.insert(angles.end(), {std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max(), 123456789, -987654321});
    constexpr std::int32_t kCentre = 100;
    for (const std::int32_t angle : angles)
    {
        CDrawingSurface surface(2 * kCentre, 2 * kCentre);
        CTrackPlot plot;
        plot.Attach(&surface, 2 * kCentre, 2 * kCentre, nullptr);
        plot.DrawPositionMarker(MakeRecord(0, kCentre, kCentre, angle));
        for (const auto& [x, y] : LitPixels(surface))
        {
            ASSERT_LE(std::abs(x - kCentre), kMarkerReach - 1) << "angle " << angle;
            ASSERT_LE(std::abs(y - kCentre), kMarkerReach - 1) << "angle " << angle;
        }
    }
}

// Blocks of a track as a pass hands them over: the markers of the records whose index is a
// multiple of every, whatever the blocks' sizes, and every = 0 taken as 1.
TEST(MarkerLayer, EveryNthRecordOfTheBlocks)
{
    struct Case
    {
        std::uint32_t every;
        std::uint64_t firstIndex; // of the track's first record
        std::vector<std::size_t> blocks;
    };
    constexpr std::uint64_t kNearTheEnd = std::numeric_limits<std::uint64_t>::max() - 700;
    const Case cases[] = {
        {1, 0, {574, 574, 100}}, {60, 0, {574, 574, 574}}, {7, 0, {13, 1, 6, 7, 8, 200}}, {0, 0, {50, 50}},
        {60, 59, {1, 1, 600}},   {1000, 0, {100}},         {3, kNearTheEnd, {300, 301}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("every " + std::to_string(c.every) + " from " + std::to_string(c.firstIndex));
        std::size_t total = 0;
        for (const std::size_t block : c.blocks)
            total += block;
        const std::vector<Pose> poses =
            MakePoses(Placement::Anywhere, Angles::Degrees, total, 640, 480, c.every);
        std::vector<TrackRecord> records;
        for (const Pose& pose : poses)
            records.push_back(MakeRecord(0, pose.x, pose.y, pose.angle));

        const std::uint64_t step = std::max<std::uint32_t>(c.every, 1);
        std::vector<Pose> chosen;
        for (std::size_t k = 0; k < total; ++k)
            if ((c.firstIndex + k) % step == 0)
                chosen.push_back(poses[k]);
        Picture oneByOne(640, 480, 3, RasterOp::Copy);
        DrawOneByOne(oneByOne, chosen);

        Picture layered(640, 480, 3, RasterOp::Copy);
        CMarkerLayer layer(640, 480);
        std::size_t at = 0;
        for (const std::size_t block : c.blocks)
        {
            layer.AddEveryNth(std::span<const TrackRecord>(records).subspan(at, block), c.firstIndex + at,
                              c.every);
            at += block;
        }
        EXPECT_EQ(layer.Pending(), chosen.size());
        layered.plot.DrawMarkerLayer(layer);
        ExpectSamePicture(layered.surface, oneByOne.surface);
    }
}

// The entire track of 600,000 records, handed over in the block reader's blocks, is one surface
// operation where drawing each marker takes fourteen.
TEST(MarkerLayer, LongTrackInOneSurfaceOperation)
{
    constexpr std::size_t kRecords = 600000;
    const std::vector<Pose> poses = MakePoses(Placement::Wandering, Angles::Degrees, kRecords, 640, 480, 9);
    CDrawingSurface surface(640, 480);
    CTrackPlot plot;
    plot.Attach(&surface, 640, 480, nullptr);
    CMarkerLayer layer(640, 480);
    std::vector<TrackRecord> block(kBlockReaderRecords);
    const std::uint64_t before = surface.ChangeCount();
    for (std::size_t first = 0; first < kRecords; first += block.size())
    {
        const std::size_t n = std::min(block.size(), kRecords - first);
        for (std::size_t k = 0; k < n; ++k)
            block[k] = MakeRecord(0, poses[first + k].x, poses[first + k].y, poses[first + k].angle);
        layer.AddEveryNth(std::span<const TrackRecord>(block.data(), n), first, 1);
    }
    ASSERT_EQ(layer.Pending(), kRecords);
    ASSERT_EQ(plot.DrawMarkerLayer(layer), 0);
    EXPECT_EQ(surface.ChangeCount() - before, 1u);
    EXPECT_FALSE(LitPixels(surface).empty());
}

TEST(MarkerLayer, NothingAddedPaintsNothing)
{
    Picture picture(60, 40, 5, RasterOp::Xor);
    const std::vector<Rgb> pixels = AllPixels(picture.surface);
    const std::uint64_t changes = picture.surface.ChangeCount();
    CMarkerLayer layer(60, 40);
    ASSERT_EQ(picture.plot.DrawMarkerLayer(layer), 0);
    EXPECT_EQ(picture.surface.ChangeCount(), changes);
    EXPECT_EQ(AllPixels(picture.surface), pixels);
    EXPECT_EQ(picture.surface.GetROP2(), RasterOp::Xor);
    EXPECT_EQ(picture.surface.PenColour(), (Rgb{1, 2, 3}));
    EXPECT_EQ(picture.surface.CurrentPosition(), (Point{7, 9}));
}

TEST(MarkerLayer, WithoutASurfaceTheLayerKeepsItsMarkers)
{
    CTrackPlot plot;
    CMarkerLayer layer(640, 480);
    layer.Add(100, 100, 0);
    EXPECT_EQ(plot.DrawMarkerLayer(layer), -601);
    EXPECT_EQ(layer.Pending(), 1u);
}
