#include "app/TrackPass.h"

#include "base/ResultCodes.h"
#include "framework/ProgressDialog.h"
#include "trackfile/BlockReader.h"

int RunTrackPass(const std::string& path, std::span<IRecordConsumer* const> consumers, std::string_view title,
                 std::string_view text)
{
    CBlockReader reader;
    if (const int opened = reader.Open(path); opened != kOk)
        return opened;
    CProgressDialog progress(title, text);
    return reader.Run(consumers, progress.Callback());
}
