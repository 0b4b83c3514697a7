#include "trackfile/TrackGenerator.h"

#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"
#include "trackfile/Arena.h"
#include "trackfile/TrackFileHeader.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;
// The arena in the doubles the wander is computed in.
constexpr double kWidth = kArenaWidth;
constexpr double kHeight = kArenaHeight;
constexpr std::int64_t kMicrosPerSecond = 1000000;
// The first record's time: somewhere within the first hour of the tracker's clock, plus a second.
constexpr std::uint64_t kStartTimeSpreadSeconds = 3600;
// Where a track starts: at least this far from every wall.
constexpr double kStartMargin = 100.0;

// The wander: the turn rate keeps most of itself each record and drifts by a little noise; near a
// wall (within kWallDistance) the subject turns back towards the middle; the speed varies between
// kMinSpeed and kMinSpeed + kSpeedSpread pixels a record; the position never comes closer to a
// wall than kWallClearance.
constexpr double kTurnKept = 0.9;
constexpr double kTurnNoise = 0.04;
constexpr double kWallDistance = 60.0;
constexpr double kWallTurn = 0.03;
constexpr double kMinSpeed = 0.5;
constexpr double kSpeedSpread = 2.0;
constexpr double kWallClearance = 20.0;
constexpr std::int32_t kDegreesInCircle = 360;
constexpr double kDegreesInHalfCircle = 180.0;

// How often things go wrong, as "one record in N": every light hidden, one light hidden, a light
// seen in the tracker's "P" colour class, a light seen with the luminance bit, a reflection target,
// a stray point of light.
constexpr std::uint64_t kAllHiddenOneIn = 100;
constexpr std::uint64_t kLightHiddenOneIn = 40;
constexpr std::uint64_t kPClassOneIn = 4;
constexpr std::uint64_t kLumOneIn = 8;
constexpr std::uint64_t kReflectionOneIn = 50;
constexpr std::uint64_t kStrayPointsOneIn = 10;
// A light's position is off by up to half this in each direction; its blob is a ring of
// kRingPoints points kRingRadius pixels around it.
constexpr double kLightNoise = 2.0;
constexpr int kRingPoints = 8;
constexpr double kRingRadius = 3.0;

// SplitMix64's constants (Steele, Lea and Flood): a small, well-mixed 64-bit stream.
constexpr std::uint64_t kSplitMixIncrement = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kSplitMixMultiplier1 = 0xBF58476D1CE4E5B9ull;
constexpr std::uint64_t kSplitMixMultiplier2 = 0x94D049BB133111EBull;
constexpr int kSplitMixShift1 = 30;
constexpr int kSplitMixShift2 = 27;
constexpr int kSplitMixShift3 = 31;
// A double in [0, 1) from the top 53 bits of a random value.
constexpr int kDoubleMantissaBits = 53;
constexpr double kTwoToThe53 = 9007199254740992.0;
// Terms of the sine and cosine series: far past the last bit of a double on [-pi/2, pi/2].
constexpr int kSeriesTerms = 12;

std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += kSplitMixIncrement);
    z = (z ^ (z >> kSplitMixShift1)) * kSplitMixMultiplier1;
    z = (z ^ (z >> kSplitMixShift2)) * kSplitMixMultiplier2;
    return z ^ (z >> kSplitMixShift3);
}

std::uint32_t ClampCoordinate(double v, double limit)
{
    if (v < 0.0)
        return 0;
    if (v > limit - 1.0)
        return static_cast<std::uint32_t>(limit - 1.0);
    return static_cast<std::uint32_t>(v);
}

// A light of the head cluster, in the subject's frame: u along the heading, v across it.
struct HeadLight
{
    double u;
    double v;
    TrackWord colour;
};

// Red at the front, green at the back, a blue light beside each: the blue one nearer the red
// light marks the front, the one nearer the green light the back.
constexpr HeadLight kHeadLights[] = {
    {14.0, 0.0, kWordBitRR},
    {-14.0, 0.0, kWordBitRG},
    {6.0, 12.0, kWordBitRB},
    {-6.0, 12.0, kWordBitRB},
};
// Sine and cosine from range reduction and Taylor polynomials in basic IEEE operations only, so
// that the same seed gives the same bytes wherever the library's sin and cos differ.
void DeterministicSinCos(double radians, double& sine, double& cosine)
{
    // Reduce to [-pi, pi], then to [-pi/2, pi/2] with the matching sign of the cosine.
    const double twoPi = 2.0 * kPi;
    double r = radians - twoPi * static_cast<double>(static_cast<std::int64_t>(radians / twoPi));
    if (r > kPi)
        r -= twoPi;
    if (r < -kPi)
        r += twoPi;
    double cosineSign = 1.0;
    if (r > kPi / 2)
    {
        r = kPi - r;
        cosineSign = -1.0;
    }
    else if (r < -kPi / 2)
    {
        r = -kPi - r;
        cosineSign = -1.0;
    }
    const double r2 = r * r;
    double s = 0.0;
    double c = 0.0;
    double termS = r;
    double termC = 1.0;
    for (int k = 1; k <= kSeriesTerms; ++k)
    {
        s += termS;
        c += termC;
        termS = -termS * r2 / static_cast<double>((2 * k) * (2 * k + 1));
        termC = -termC * r2 / static_cast<double>((2 * k - 1) * (2 * k));
    }
    sine = s;
    cosine = cosineSign * c;
}
} // namespace

CTrackGenerator::CTrackGenerator(std::uint64_t seed) : m_state(seed), m_seed(seed)
{
    m_startTime = static_cast<std::int64_t>(NextRandom() %
                                            (kStartTimeSpreadSeconds * std::uint64_t{kMicrosPerSecond})) +
                  kMicrosPerSecond;
    m_x = kStartMargin + Uniform() * (kWidth - 2 * kStartMargin);
    m_y = kStartMargin + Uniform() * (kHeight - 2 * kStartMargin);
    m_heading = Uniform() * 2.0 * kPi;
}

std::uint64_t CTrackGenerator::NextRandom()
{
    return SplitMix(m_state);
}

double CTrackGenerator::Uniform()
{
    return static_cast<double>(NextRandom() >> (64 - kDoubleMantissaBits)) * (1.0 / kTwoToThe53);
}

void CTrackGenerator::MakeHeader(std::uint8_t (&header)[kTrackHeaderSize],
                                 const TrackGeneratorOptions& options) const
{
    std::memset(header, 0, sizeof header);
    const std::string text =
        std::string(kTrackHeaderTag) +
        "\r\nSynthetic track written by tracktool gen\r\nseed=" + std::to_string(m_seed) +
        "\r\nrecords=" + std::to_string(options.records) +
        "\r\nrate=60 records per second\r\narena=" + std::to_string(kArenaWidth) + "x" +
        std::to_string(kArenaHeight) + "\r\n";
    std::memcpy(header, text.data(), text.size() < sizeof header ? text.size() : sizeof header);
}

void CTrackGenerator::NextRecord(TrackRecord& record)
{
    std::memset(&record, 0, sizeof record);
    const std::uint64_t frame = NextRandom();
    for (std::size_t i = 0; i < sizeof record.prefix; ++i)
        record.prefix[i] = static_cast<std::uint8_t>(frame >> (8 * i));
    record.timestamp =
        m_startTime + static_cast<std::int64_t>(m_index) * kMicrosPerSecond / std::int64_t{kRecordsPerSecond};

    // Wander: the turn rate drifts, the speed varies, and the walls push the subject back inside.
    m_turn = kTurnKept * m_turn + (Uniform() - 0.5) * kTurnNoise;
    const double dx0 = kWidth / 2 - m_x;
    const double dy0 = kHeight / 2 - m_y;
    const bool nearWall = m_x < kWallDistance || m_x > kWidth - kWallDistance || m_y < kWallDistance ||
                          m_y > kHeight - kWallDistance;
    double s = 0.0;
    double c = 1.0;
    DeterministicSinCos(m_heading, s, c);
    if (nearWall && c * dx0 + s * dy0 < 0.0)
        m_turn += (c * dy0 - s * dx0 > 0.0 ? kWallTurn : -kWallTurn);
    m_heading += m_turn;
    if (m_heading < 0.0)
        m_heading += 2.0 * kPi;
    if (m_heading >= 2.0 * kPi)
        m_heading -= 2.0 * kPi;
    DeterministicSinCos(m_heading, s, c);
    const double speed = kMinSpeed + kSpeedSpread * Uniform();
    m_x += speed * c;
    m_y += speed * s;
    if (m_x < kWallClearance)
        m_x = kWallClearance;
    if (m_x > kWidth - kWallClearance)
        m_x = kWidth - kWallClearance;
    if (m_y < kWallClearance)
        m_y = kWallClearance;
    if (m_y > kHeight - kWallClearance)
        m_y = kHeight - kWallClearance;

    // The tracker's own estimate: the position to the pixel, the heading in whole degrees.
    record.x = static_cast<std::int32_t>(m_x);
    record.y = static_cast<std::int32_t>(m_y);
    record.angle = static_cast<std::int32_t>(m_heading * kDegreesInHalfCircle / kPi) % kDegreesInCircle;

    // Targets: the head lights with a pixel of noise, some occluded, now and then a reflection.
    const bool allHidden = NextRandom() % kAllHiddenOneIn == 0;
    std::size_t nTargets = 0;
    std::size_t nPoints = 0;
    auto addPoint = [&](double px, double py, TrackWord colour)
    {
        if (nPoints < kMaxPoints)
            record.points[nPoints++] =
                MakeTrackWord(ClampCoordinate(px, kWidth), ClampCoordinate(py, kHeight), colour);
    };
    for (const HeadLight& light : kHeadLights)
    {
        if (allHidden || NextRandom() % kLightHiddenOneIn == 0)
            continue;
        const double lx = m_x + light.u * c - light.v * s + (Uniform() - 0.5) * kLightNoise;
        const double ly = m_y + light.u * s + light.v * c + (Uniform() - 0.5) * kLightNoise;
        TrackWord colour = light.colour;
        if (NextRandom() % kPClassOneIn == 0)
            colour = (colour << 16) & (kWordBitPR | kWordBitPG | kWordBitPB); // the tracker's "P" class
        if (NextRandom() % kLumOneIn == 0)
            colour |= kWordBitLum;
        record.targets[nTargets++] =
            MakeTrackWord(ClampCoordinate(lx, kWidth), ClampCoordinate(ly, kHeight), colour);
        // The light's blob as the tracker saw it: a ring of points around it.
        for (int k = 0; k < kRingPoints; ++k)
        {
            double rs = 0.0;
            double rc = 1.0;
            DeterministicSinCos(k * kPi / (kRingPoints / 2.0), rs, rc);
            addPoint(lx + kRingRadius * rc, ly + kRingRadius * rs, colour);
        }
    }
    if (NextRandom() % kReflectionOneIn == 0 && nTargets < kMaxTargets)
    {
        const TrackWord colours[] = {kWordBitRR, kWordBitRG, kWordBitRB, kWordBitLum};
        record.targets[nTargets++] =
            MakeTrackWord(static_cast<std::uint32_t>(NextRandom() % std::uint64_t{kArenaWidth}),
                          static_cast<std::uint32_t>(NextRandom() % std::uint64_t{kArenaHeight}),
                          colours[NextRandom() % std::size(colours)]);
    }
    // Now and then a stray point of light somewhere in the frame.
    const std::uint64_t noise = NextRandom() % kStrayPointsOneIn == 0 ? 1 + NextRandom() % 2 : 0;
    for (std::uint64_t k = 0; k < noise; ++k)
        addPoint(static_cast<double>(NextRandom() % std::uint64_t{kArenaWidth}),
                 static_cast<double>(NextRandom() % std::uint64_t{kArenaHeight}), kWordBitLum);
    ++m_index;
}

int WriteGeneratedTrack(const std::string& path, const TrackGeneratorOptions& options,
                        const std::function<void(std::uint32_t)>& progress)
{
    if (options.partialBytes >= kTrackRecordSize)
    {
        ShowMessage("The incomplete record at the end must be shorter than one record (0 to " +
                    std::to_string(kTrackRecordSize - 1) + " bytes); " + path + " was not written.");
        return kErrNoInput;
    }
    COutputFile file;
    if (!file.Create(path))
    {
        ShowFileProblem("Cannot create the track file " + path + ".", path, file.GetProblem());
        return kErrOpen;
    }
    const auto Fail = [&]
    {
        ShowFileProblem("Cannot write the track file " + path + "; nothing was written.", path,
                        file.GetProblem());
        return kErrNoInput;
    };
    CTrackGenerator generator(options.seed);
    if (!options.oldStyle)
    {
        std::uint8_t header[kTrackHeaderSize];
        generator.MakeHeader(header, options);
        if (!file.Write(header, sizeof header))
            return Fail();
    }
    constexpr std::uint32_t kChunk = 256;          // records generated and written at a time
    constexpr std::uint32_t kProgressEvery = 4096; // records between progress reports
    std::vector<TrackRecord> chunk(kChunk);
    for (std::uint32_t written = 0; written < options.records;)
    {
        const std::uint32_t n = options.records - written < kChunk ? options.records - written : kChunk;
        for (std::uint32_t i = 0; i < n; ++i)
            generator.NextRecord(chunk[i]);
        if (!file.Write(chunk.data(), std::size_t{n} * sizeof(TrackRecord)))
            return Fail();
        written += n;
        if (progress && (written % kProgressEvery < kChunk || written == options.records))
            progress(written);
    }
    std::array<std::uint8_t, kTrackRecordSize - 1> tail{};
    for (std::uint32_t i = 0; i < options.partialBytes; ++i)
        tail[i] = static_cast<std::uint8_t>(generator.NextRandom());
    if (options.partialBytes != 0 && !file.Write(tail.data(), options.partialBytes))
        return Fail();
    return file.Commit() ? kOk : Fail();
}
