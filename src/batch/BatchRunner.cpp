#include "batch/BatchRunner.h"

#include "base/ResultCodes.h"
#include "outputs/OutputPass.h"
#include "trackfile/TrackRecord.h"

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace
{
constexpr std::string_view kStatusNames[] = {"ok", "skipped", "failed"};

std::optional<fs::file_time_type> ModifiedTime(const std::string& path)
{
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (error)
        return std::nullopt;
    return time;
}

// The records a track of this size holds, near enough for a progress line.
std::uint64_t ExpectedRecords(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::uint64_t>(size) / kTrackRecordSize;
}

std::vector<std::string> FilesOf(const std::vector<std::unique_ptr<ITrackOutput>>& outputs)
{
    std::vector<std::string> files;
    for (const auto& output : outputs)
        for (std::string& file : output->Files())
            files.push_back(std::move(file));
    return files;
}

BatchFileResult Failed(std::string message)
{
    BatchFileResult result;
    result.status = BatchStatus::Failed;
    result.message = std::move(message);
    return result;
}

BatchFileResult RunOneTrack(const BatchSettings& settings, const BatchTrack& track, BatchMonitor& monitor)
{
    if (!track.problem.empty())
        return Failed(track.problem);
    const TrackOutputPlace place = MakeBatchPlace(settings.outDir, track.label);
    std::vector<std::unique_ptr<ITrackOutput>> outputs = MakeBatchOutputs(settings, place);
    const std::vector<std::string> files = FilesOf(outputs);
    if (!settings.force && !files.empty() && AreOutputsUpToDate(files, track.path, settings.layoutPath))
    {
        BatchFileResult skipped;
        skipped.status = BatchStatus::Skipped;
        return skipped;
    }
    std::error_code error;
    fs::create_directories(place.dir, error);
    if (error)
        return Failed("Cannot create the folder " + place.dir + " (" + error.message() + ").");

    std::vector<ITrackOutput*> pointers;
    for (const auto& output : outputs)
        pointers.push_back(output.get());
    COutputPass pass(PassNotices::Keep);
    std::uint64_t handed = 0;
    int result = pass.Open(track.path);
    if (result == kOk && pass.Source().records == 0)
    {
        std::vector<Problem> told = pass.TakeTold(); // an incomplete record, say
        told.push_back(
            Failure(kErrNoInput, pass.Source().fileName + " has no records; no outputs were written."));
        return Failed(JoinOnOneLine(told));
    }
    if (result == kOk)
        result = pass.Prepare(pointers);
    if (result == kOk)
        result = pass.Run(
            [&](std::uint64_t done, std::uint64_t /*total*/)
            {
                monitor.recordsRead += done - handed;
                handed = done;
                return !monitor.stop.load();
            });
    if (result == kErrCancelled)
        return Failed("The batch was stopped while this file was run; no outputs were written.");
    BatchFileResult finished;
    finished.records = handed;
    finished.message = JoinOnOneLine(pass.Told());
    finished.status = result == kOk ? BatchStatus::Ok : BatchStatus::Failed;
    if (result != kOk && finished.message.empty())
        finished.message = ResultText(result);
    return finished;
}
} // namespace

std::string_view BatchStatusName(BatchStatus status)
{
    const auto index = static_cast<std::size_t>(status);
    assert(index < std::size(kStatusNames) && "every status has its name");
    return kStatusNames[index];
}

std::string JoinOnOneLine(const std::vector<Problem>& told)
{
    std::string line;
    const auto append = [&line](std::string_view text)
    {
        for (const char c : text)
            line += c == '\n' || c == '\r' ? ' ' : c;
    };
    for (const Problem& problem : told)
    {
        if (!line.empty())
            line += ' ';
        append(problem.text);
        if (!problem.reason.empty())
        {
            line += " (";
            append(problem.reason);
            line += ")";
        }
    }
    return line;
}

std::optional<BatchStatus> ParseBatchStatus(std::string_view name)
{
    for (std::size_t k = 0; k < std::size(kStatusNames); ++k)
        if (kStatusNames[k] == name)
            return static_cast<BatchStatus>(k);
    return std::nullopt;
}

bool AreOutputsUpToDate(const std::vector<std::string>& files, const std::string& trackPath,
                        const std::string& layoutPath)
{
    std::optional<fs::file_time_type> source = ModifiedTime(trackPath);
    if (!source)
        return false;
    if (!layoutPath.empty())
    {
        const std::optional<fs::file_time_type> layout = ModifiedTime(layoutPath);
        if (!layout)
            return false;
        source = std::max(*source, *layout);
    }
    return std::all_of(files.begin(), files.end(),
                       [&source](const std::string& file)
                       {
                           const std::optional<fs::file_time_type> made = ModifiedTime(file);
                           return made && *made > *source;
                       });
}

BatchFileResult RunBatchTrack(const BatchSettings& settings, const BatchTrack& track, BatchMonitor& monitor)
{
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t expected = ExpectedRecords(track.path);
    BatchFileResult result = RunOneTrack(settings, track, monitor);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (expected > result.records)
        monitor.recordsSettled += expected - result.records;
    ++monitor.filesDone;
    return result;
}

std::vector<BatchFileResult> RunBatch(const BatchSettings& settings, const std::vector<BatchTrack>& tracks,
                                      unsigned jobs, BatchMonitor& monitor)
{
    monitor.expectedRecords = 0;
    for (const BatchTrack& track : tracks)
        monitor.expectedRecords += ExpectedRecords(track.path);

    std::vector<BatchFileResult> results(tracks.size());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t running = std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(tracks.size(), 1));
    const auto work = [&]
    {
        for (std::size_t index = next++; index < tracks.size(); index = next++)
        {
            if (monitor.stop.load())
            {
                results[index] = Failed("The batch was stopped before this file was run.");
                ++monitor.filesDone;
                continue;
            }
            results[index] = RunBatchTrack(settings, tracks[index], monitor);
            if (monitor.onFileDone)
                monitor.onFileDone(index, results[index]);
        }
        const std::lock_guard lock(mutex);
        --running;
        finished.notify_all();
    };

    std::vector<std::jthread> workers;
    const std::size_t workerCount = running;
    workers.reserve(workerCount);
    for (std::size_t k = 0; k < workerCount; ++k)
        workers.emplace_back(work);
    std::unique_lock lock(mutex);
    while (running > 0)
    {
        finished.wait_for(lock, monitor.tick, [&running] { return running == 0; });
        if (running > 0 && monitor.onTick)
        {
            lock.unlock();
            monitor.onTick();
            lock.lock();
        }
    }
    lock.unlock();
    workers.clear(); // joins
    return results;
}
