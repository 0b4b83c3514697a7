// tracktool batch: the outputs of every track of a study, each track in one pass, on every core,
// resumable, and split into shards for array jobs on a cluster (batch/BatchRunner.h,
// batch/BatchReport.h). The total goes to stdout, a line per failed track and the progress (on a
// terminal) to stderr.
//
// Exit status: 2 for a malformed command line (also no input, an unknown output, a shard that is
// not K/N, --shard auto without the array's variables, a quality band that is not one); 1 when a
// track failed, the layout or the list cannot be read, no tracker file was found, or the status
// and summaries cannot be written; else 0.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "batch/BatchProgress.h"
#include "batch/BatchReport.h"
#include "batch/BatchSignals.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/DecimalChecks.h"
#include "cli/RegionOptions.h"
#include "outputs/OutputFolder.h"
#include "outputs/OutputLimits.h"
#include "recalc/TrackConverter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace
{
constexpr const char* kBatchNote =
    "Each track's outputs go below OUT in the track's folder relative to the inputs' common folder,\n"
    "named as the single-file commands name them; the visit tables' file column holds that relative\n"
    "path. A track whose outputs are all there and newer than the track and the layout is skipped\n"
    "(--force makes them again). At the end OUT holds batch_status.csv (file,status,message,seconds)\n"
    "and, with visits among the outputs, summary_regions.csv and summary_sessions.csv; a shard writes\n"
    "them as batch_status.shard-K-of-N.csv and so on, which 'tracktool combine OUT' joins.\n"
    "--shard auto takes K from SLURM_ARRAY_TASK_ID minus SLURM_ARRAY_TASK_MIN and N from\n"
    "SLURM_ARRAY_TASK_COUNT.";

struct BatchArgs
{
    std::vector<std::string> inputs;
    std::string listPath;
    std::string out;
    CRegionOptions regions;
    COutputSet outputs = *ParseOutputList(kDefaultOutputList);
    unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
    std::optional<BatchShard> shard;
    bool force = false;
    QualityOptions quality;
    HeatmapSettings heatmap;
    std::optional<double> sigma;
    PlotSettings plot;
    std::optional<std::int32_t> scale; // every picture; each has its own default
};

std::string CurrentFolder()
{
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string(".") : current.generic_string();
}

// The inputs with the paths of the list file; false (told) when the list cannot be read.
bool GatherInputs(const BatchArgs& args, std::vector<std::string>& inputs)
{
    inputs = args.inputs;
    if (args.listPath.empty())
        return true;
    std::string text;
    if (const Problem problem = ReadWholeTextFile(args.listPath, "the list of inputs", text); !problem.IsOk())
    {
        Tell(problem);
        return false;
    }
    for (std::string& path : ParseInputList(text))
        inputs.push_back(std::move(path));
    return true;
}

int RunBatchCommand(BatchArgs& args)
{
    const auto start = std::chrono::steady_clock::now();
    if (args.outputs.Has("quality") &&
        !ValidateTargetDistances(args.quality.minDistance, args.quality.maxDistance))
        return kExitUsage;
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    std::vector<std::string> inputs;
    if (!GatherInputs(args, inputs))
        return kExitFailed;
    const std::string current = CurrentFolder();
    const std::vector<BatchTrack> all = CollectBatchTracks(inputs, current);
    if (all.empty())
    {
        ShowMessage("tracktool batch: no tracker file (.qtf or .dat) in the inputs");
        return kExitFailed;
    }
    std::vector<BatchTrack> tracks;
    for (std::size_t index = 0; index < all.size(); ++index)
        if (!args.shard || IsInShard(index, *args.shard))
            tracks.push_back(all[index]);

    BatchSettings settings;
    settings.outDir = (fs::path(current) / args.out).lexically_normal().generic_string();
    while (settings.outDir.size() > 1 && settings.outDir.back() == '/')
        settings.outDir.pop_back();
    settings.outputs = args.outputs;
    OutputSettings& made = settings.settings;
    made.regions = args.regions.Table();
    made.margin = args.regions.Margin();
    made.quality = args.quality;
    made.heatmap = args.heatmap;
    made.heatmap.sigmaBins = args.sigma.value_or(0.0);
    made.plot = args.plot;
    if (args.scale)
        made.heatmap.scale = made.plot.scale = made.sensitivity.scale = *args.scale;
    settings.force = args.force;
    // A layout changed since the outputs were made calls for them again.
    if (!args.regions.LayoutPath().empty())
        settings.layoutPath = (fs::path(current) / args.regions.LayoutPath()).generic_string();
    if (const Problem folder = MakeOutputFolder(settings.outDir); !folder.IsOk())
    {
        Tell(folder);
        return kExitFailed;
    }

    BatchMonitor monitor;
    std::vector<BatchFileResult> results;
    {
        CStopOnSignals stopOnSignals(monitor.stop);
        CBatchProgress progress(monitor, tracks.size());
        monitor.onTick = [&progress] { progress.Show(); };
        results = RunBatch(settings, tracks, args.jobs, monitor);
    }

    BatchCounts counts;
    for (std::size_t k = 0; k < tracks.size(); ++k)
    {
        counts.Add(results[k].status);
        if (results[k].status == BatchStatus::Failed)
            ShowMessage("tracktool batch: " + tracks[k].label + " failed: " + results[k].message);
    }
    const bool summaries = args.outputs.Has("visits");
    if (const Problem report = WriteBatchReport(settings.outDir, args.shard, tracks, results, summaries);
        !report.IsOk())
    {
        Tell(report);
        return kExitFailed;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s\n", FormatBatchTotal(counts, seconds).c_str());
    return counts.failed > 0 ? kExitFailed : kExitOk;
}

CliRun AddBatch(CLI::App& command)
{
    auto args = std::make_shared<BatchArgs>();
    command.add_option("INPUT", args->inputs, "tracker files, and folders searched for .qtf and .dat files")
        ->type_name("FILE|DIR")
        ->check(NonEmpty());
    command
        .add_option("--from", args->listPath,
                    "a text file of further inputs, one a line (blank lines and # comments skipped)")
        ->type_name("LIST")
        ->check(NonEmpty());
    command.add_option("--out", args->out, "the folder the outputs go into")
        ->type_name("OUT")
        ->required()
        ->check(NonEmpty());
    args->regions.AddLayoutTo(command);
    command
        .add_option_function<std::string>(
            "--outputs",
            [args](const std::string& text)
            {
                const auto outputs = ParseOutputList(text);
                if (!outputs)
                    throw CLI::ValidationError("--outputs",
                                               "'" + text + "' is not a list of " + OutputKindNames(", "));
                args->outputs = *outputs;
            },
            "the outputs of each track, comma-separated from " + OutputKindNames(", ") + " (default " +
                std::string(kDefaultOutputList) + ")")
        ->type_name("LIST");
    AddWholeNumber(command, "--jobs", args->jobs, "N", "tracks run at the same time (default: one per core)",
                   1, kMaxBatchJobs);
    command
        .add_option_function<std::string>(
            "--shard",
            [args](const std::string& text)
            {
                if (text == "auto")
                {
                    std::string problem;
                    args->shard =
                        ShardFromEnvironment([](const char* name) { return std::getenv(name); }, problem);
                    if (!args->shard)
                        throw CLI::ValidationError("--shard", "auto: " + problem);
                    return;
                }
                args->shard = ParseShard(text);
                if (!args->shard)
                    throw CLI::ValidationError("--shard",
                                               "'" + text + "' is not K/N with 0 <= K < N, nor auto");
            },
            "run only the tracks whose index in the sorted list is K modulo N; auto: from the array job")
        ->type_name("K/N|auto");
    command.add_flag("--force", args->force, "make every track's outputs again, even when up to date");
    AddWholeNumber(command, "--min", args->quality.minDistance, "N",
                   "quality: least distance between targets (default 10)");
    AddWholeNumber(command, "--max", args->quality.maxDistance, "N",
                   "quality: greatest distance between targets (default 100)");
    AddWholeNumber(command, "--bin", args->heatmap.binPixels, "PX",
                   "heatmap: the bins' size in plot pixels (default 10)", 1, kMaxBinPixels);
    AddDecimal(command, "--sigma", args->sigma, "BINS",
               "heatmap: Gaussian smoothing, its sigma in bins (default 0)", 0.0, LowerBound::Included,
               kMaxSigmaBins);
    AddDecimal(
        command, "--vmax", args->heatmap.vmax, "SECONDS",
        "heatmap: the top of the colour scale, the same for every track (default: each one's largest bin)",
        0.0, LowerBound::Excluded, kMaxScaleSeconds);
    command
        .add_option_function<std::int32_t>(
            "--scale", [args](std::int32_t scale) { args->scale = scale; },
            "pictures: pixels per plot pixel (default 2 for the heatmap, 1 for the plot)")
        ->type_name("K")
        ->transform(WholeNumber(1, kMaxPictureScale));
    AddWholeNumber(command, "--every", args->plot.every, "N",
                   "plot: a marker every Nth record (default 60, 0 = every record)");
    AddWholeNumber(command, "--jump", args->quality.jumpPx, "PX",
                   "quality: steps longer than this are jumps (default 40)");
    command.footer(std::string(kBatchNote) + "\n\n" + command.get_footer());
    command.callback(
        [args]
        {
            if (args->inputs.empty() && args->listPath.empty())
                throw CLI::RequiredError("INPUT or --from");
        });
    return [args] { return RunBatchCommand(*args); };
}

const CCliCommandRegistration kRegisterBatch(
    {"batch", "the outputs of every track of a study, on every core, resumable and in shards", &AddBatch});
} // namespace
