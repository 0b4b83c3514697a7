#include "plot/HeatmapFiles.h"

#include "analysis/OccupancyCsv.h"
#include "base/File.h"
#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"
#include "plot/PngFile.h"

#include <system_error>
#include <vector>

std::string MatrixCreateFailedMessage(std::string_view path)
{
    return "Cannot create the matrix file " + std::string(path) + ".";
}

std::string MatrixWriteFailedMessage(std::string_view path)
{
    return "Cannot write the matrix file " + std::string(path) + "; nothing was written.";
}

int WriteHeatmapFiles(const std::string& picturePath, const RgbImageView& picture,
                      const std::string& matrixPath, const OccupancyMap& map)
{
    const bool withMatrix = !matrixPath.empty();
    COutputFile png;
    COutputFile csv;
    if (!png.Create(picturePath))
    {
        ShowFileProblem(PngCreateFailedMessage(picturePath), picturePath, png.GetProblem());
        return kErrOpen;
    }
    if (withMatrix && !csv.Create(matrixPath))
    {
        ShowFileProblem(MatrixCreateFailedMessage(matrixPath), matrixPath, csv.GetProblem());
        return kErrOpen;
    }
    std::string reason;
    if (!WritePng(png, picture, reason))
    {
        ShowMessageWithReason(PngWriteFailedMessage(picturePath), reason);
        return kErrNoInput;
    }
    if (withMatrix && !WriteOccupancyCsv(csv, map))
    {
        ShowMessageWithReason(MatrixWriteFailedMessage(matrixPath),
                              std::generic_category().message(csv.GetProblem().error));
        return kErrNoInput;
    }
    std::vector<COutputFile*> outputs{&png};
    if (withMatrix)
        outputs.push_back(&csv);
    std::size_t failed = 0;
    if (!CommitAll(outputs, failed))
    {
        const bool pictureFailed = outputs[failed] == &png;
        ShowMessageWithReason(pictureFailed ? PngWriteFailedMessage(picturePath)
                                            : MatrixWriteFailedMessage(matrixPath),
                              std::generic_category().message(outputs[failed]->GetProblem().error));
        return kErrNoInput;
    }
    return kOk;
}
