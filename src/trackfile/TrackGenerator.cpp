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

std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
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
    for (int k = 1; k <= 12; ++k)
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
    m_startTime = static_cast<std::int64_t>(NextRandom() % (3600ull * kMicrosPerSecond)) + kMicrosPerSecond;
    m_x = 100.0 + Uniform() * (kWidth - 200.0);
    m_y = 100.0 + Uniform() * (kHeight - 200.0);
    m_heading = Uniform() * 2.0 * kPi;
}

std::uint64_t CTrackGenerator::NextRandom()
{
    return SplitMix(m_state);
}

double CTrackGenerator::Uniform()
{
    return static_cast<double>(NextRandom() >> 11) * (1.0 / 9007199254740992.0);
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
    m_turn = 0.9 * m_turn + (Uniform() - 0.5) * 0.04;
    const double dx0 = kWidth / 2 - m_x;
    const double dy0 = kHeight / 2 - m_y;
    const bool nearWall = m_x < 60.0 || m_x > kWidth - 60.0 || m_y < 60.0 || m_y > kHeight - 60.0;
    double s = 0.0;
    double c = 1.0;
    DeterministicSinCos(m_heading, s, c);
    if (nearWall && c * dx0 + s * dy0 < 0.0)
        m_turn += (c * dy0 - s * dx0 > 0.0 ? 0.03 : -0.03);
    m_heading += m_turn;
    if (m_heading < 0.0)
        m_heading += 2.0 * kPi;
    if (m_heading >= 2.0 * kPi)
        m_heading -= 2.0 * kPi;
    DeterministicSinCos(m_heading, s, c);
    const double speed = 0.5 + 2.0 * Uniform();
    m_x += speed * c;
    m_y += speed * s;
    if (m_x < 20.0)
        m_x = 20.0;
    if (m_x > kWidth - 20.0)
        m_x = kWidth - 20.0;
    if (m_y < 20.0)
        m_y = 20.0;
    if (m_y > kHeight - 20.0)
        m_y = kHeight - 20.0;

    // The tracker's own estimate: the position to the pixel, the heading in whole degrees.
    record.x = static_cast<std::int32_t>(m_x);
    record.y = static_cast<std::int32_t>(m_y);
    record.angle = static_cast<std::int32_t>(m_heading * 180.0 / kPi) % 360;

    // Targets: the head lights with a pixel of noise, some occluded, now and then a reflection.
    const bool allHidden = NextRandom() % 100 == 0;
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
        if (allHidden || NextRandom() % 40 == 0)
            continue;
        const double lx = m_x + light.u * c - light.v * s + (Uniform() - 0.5) * 2.0;
        const double ly = m_y + light.u * s + light.v * c + (Uniform() - 0.5) * 2.0;
        TrackWord colour = light.colour;
        if (NextRandom() % 4 == 0)
            colour = (colour << 16) & (kWordBitPR | kWordBitPG | kWordBitPB); // the tracker's "P" class
        if (NextRandom() % 8 == 0)
            colour |= kWordBitLum;
        record.targets[nTargets++] =
            MakeTrackWord(ClampCoordinate(lx, kWidth), ClampCoordinate(ly, kHeight), colour);
        // The light's blob as the tracker saw it: a ring of points around it.
        for (int k = 0; k < 8; ++k)
        {
            double rs = 0.0;
            double rc = 1.0;
            DeterministicSinCos(k * kPi / 4.0, rs, rc);
            addPoint(lx + 3.0 * rc, ly + 3.0 * rs, colour);
        }
    }
    if (NextRandom() % 50 == 0 && nTargets < kMaxTargets)
    {
        const TrackWord colours[] = {kWordBitRR, kWordBitRG, kWordBitRB, kWordBitLum};
        record.targets[nTargets++] =
            MakeTrackWord(static_cast<std::uint32_t>(NextRandom() % std::uint64_t{kArenaWidth}),
                          static_cast<std::uint32_t>(NextRandom() % std::uint64_t{kArenaHeight}),
                          colours[NextRandom() % 4]);
    }
    // Now and then a stray point of light somewhere in the frame.
    const std::uint64_t noise = NextRandom() % 10 == 0 ? 1 + NextRandom() % 2 : 0;
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
    constexpr std::uint32_t kChunk = 256;
    std::vector<TrackRecord> chunk(kChunk);
    for (std::uint32_t written = 0; written < options.records;)
    {
        const std::uint32_t n = options.records - written < kChunk ? options.records - written : kChunk;
        for (std::uint32_t i = 0; i < n; ++i)
            generator.NextRecord(chunk[i]);
        if (!file.Write(chunk.data(), std::size_t{n} * sizeof(TrackRecord)))
            return Fail();
        written += n;
        if (progress && (written % 4096 < kChunk || written == options.records))
            progress(written);
    }
    std::array<std::uint8_t, kTrackRecordSize - 1> tail{};
    for (std::uint32_t i = 0; i < options.partialBytes; ++i)
        tail[i] = static_cast<std::uint8_t>(generator.NextRandom());
    if (options.partialBytes != 0 && !file.Write(tail.data(), options.partialBytes))
        return Fail();
    return file.Commit() ? kOk : Fail();
}
