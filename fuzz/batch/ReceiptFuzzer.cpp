// The receipt a resumed batch reads back from its output folder, which anything may have written:
// it is read without a crash, and a receipt that reads is what a run compares against, so it
// must match its own facts, and never match when its input's size differs.
#include "outputs/ReceiptOutput.h"
#include "support/FuzzInput.h"

#include <string>
#include <vector>

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const std::vector<std::string> seeds = {
        R"({"program": "trackplay", "version": "2.0.0", "input": {"file": "day1/VT1.qtf", "bytes": 564784,)"
        R"( "modified": "2026-12-08T20:09:03.808947392Z", "xxh3_128": "b7e6e97f2247a6a28c5c6d77035ebc3d"},)"
        R"( "layout": null, "options": {"bin": 10, "sigma": 0.0, "vmax": null}, "settings": {"bins_s": null},)"
        R"( "outputs": ["VT1.qtf_track.csv"]})",
        R"({"program": "trackplay", "input": {"bytes": -1}, "outputs": [1]})",
        R"([1, 2, {"program": "trackplay"}])",
    };
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const std::string& seed : seeds)
        inputs.emplace_back(seed.begin(), seed.end());
    return inputs;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<ReadReceipt> receipt = ParseReceipt(text);
    if (!receipt)
        return 0;
    FuzzCheck(ReceiptMismatch(*receipt, receipt->facts, receipt->stamp, {}).empty(),
              "a receipt matches what it says itself");
    InputStamp grown = receipt->stamp;
    ++grown.bytes;
    FuzzCheck(ReceiptMismatch(*receipt, receipt->facts, grown, {}) == "changed: input",
              "an input of another size is a changed input");
    return 0;
}
