// COutputPass: one pass over a track feeding every output asked of it, the one driver of the
// window's exports, tracktool's commands and a batch. The track is read front to back in large
// blocks (trackfile/BlockReader.h) and every block goes to every output, with progress and cancel.
// The outputs end in the order given, and when any of them fails, the files the others already put
// in place are taken away again: a track's outputs are complete or absent.
//
// It goes in three steps, so that the edge can tell what each brings before the next: Open reads
// how the track is laid out, Prepare hands over the outputs, each of which claims its destinations
// (a refusal comes before any progress shows), Run reads the track. The outputs' problems come back in
// Told(); what the reader and the event files below them tell goes through the message sink as it happens
// (PassNotices::Show), or is kept in Told() with the rest (PassNotices::Keep, for a batch, whose
// tracks run on threads with nobody to show it to; a question is then answered Yes, as the user
// asked for the outputs).
#pragma once

#include "base/Problem.h"
#include "outputs/TrackOutput.h"
#include "trackfile/BlockReader.h"

#include <span>
#include <string>
#include <vector>

enum class PassNotices
{
    Show,
    Keep,
};

class COutputPass
{
public:
    explicit COutputPass(PassNotices notices = PassNotices::Show) : m_notices(notices) {}
    COutputPass(const COutputPass&) = delete;
    COutputPass& operator=(const COutputPass&) = delete;

    // Opens the track and counts its records. kOk, or kErrOpen when it cannot be opened (the
    // reader's message shown or kept).
    [[nodiscard]] int Open(const std::string& path);
    // What the reader learnt of the track at Open.
    [[nodiscard]] const TrackSourceInfo& Source() const { return m_reader.Info(); }

    // Every output (borrowed, in the order they are to end) claims its destinations. kOk; otherwise
    // the first refusal's code, with every refusal in Told() and every output abandoned.
    [[nodiscard]] int Prepare(std::span<ITrackOutput* const> outputs);

    // The pass, once Prepare has succeeded: Begin, every block, End, in the outputs' order. kOk when
    // every output has put its files in place. Otherwise the first failure's code (kErrCancelled
    // when progress returned false, with nothing told), and no output's file is left in place by
    // this pass.
    [[nodiscard]] int Run(const StreamProgress& progress = {});

    // What the pass has to tell so far, in order; TakeTold hands it over and starts afresh.
    [[nodiscard]] const std::vector<Problem>& Told() const { return m_told; }
    [[nodiscard]] std::vector<Problem> TakeTold();

    // Whole records when some of the outputs needs them, else positions (what the track must serve).
    [[nodiscard]] static RecordNeeds NeedsOf(std::span<ITrackOutput* const> outputs);

private:
    class CConsumer;

    void Keep(Problem problem);

    std::vector<ITrackOutput*> m_outputs;
    bool m_bPrepared = false; // every output has claimed its destinations
    PassNotices m_notices;
    CBlockReader m_reader;
    std::vector<Problem> m_told;
};
