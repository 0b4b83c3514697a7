// The small dialogs on their own: Heatmap Settings' ranges and the Tracking Quality results'
// buttons (Region Properties and Go to Record are tested through their commands).
#include "app/CommandDialogs.h"

#include "AppFixture.h"
#include "framework/DataExchange.h"

namespace
{
class CommandDialogsTest : public AppTest
{
protected:
    void SetUp() override { Start(); }
};

// Test Heatmap Settings: it shows the values it was given, takes what is in range, and refuses a
// bin size or a sigma out of range (or no number) with the field's message and the focus on it.
TEST_F(CommandDialogsTest, HeatmapSettingsRanges)
{
    struct Case
    {
        const char* binSize;
        const char* sigma;
        int failedField; // 0: OK closes the dialog
        const char* message;
    };
    const Case cases[] = {
        {"1", "0", 0, ""},
        {"480", "20", 0, ""},
        {"12", "1.5", 0, ""},
        {"0", "1", kIdcHeatmapBinSize, "Please enter an integer between 1 and 480."},
        {"481", "1", kIdcHeatmapBinSize, "Please enter an integer between 1 and 480."},
        {"", "1", kIdcHeatmapBinSize, "Please enter a positive integer."},
        {"10", "20.5", kIdcHeatmapSigma, "Please enter a number between 0 and 20."},
        {"10", "-1", kIdcHeatmapSigma, "Please enter a number between 0 and 20."},
        {"10", "x", kIdcHeatmapSigma, "Please enter a number."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.binSize) + " / " + c.sigma);
        host.messageBoxes.clear();
        CHeatmapSettingsDlg dialog(&Dlg());
        dialog.m_nBinSize = 10;
        dialog.m_dSigma = 2.5;
        dialog.m_nMinBinSize = 1;
        dialog.m_nMaxBinSize = 480;
        dialog.m_dMaxSigma = 20;
        std::string shownBin;
        std::string shownSigma;
        int focus = 0;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                shownBin = d.GetDlgItemText(kIdcHeatmapBinSize);
                shownSigma = d.GetDlgItemText(kIdcHeatmapSigma);
                h.TypeText(kIdcHeatmapBinSize, c.binSize, &d);
                h.TypeText(kIdcHeatmapSigma, c.sigma, &d);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
                focus = d.GetFocusId();
                h.PostKey(kVkEscape, kModNone, &d);
            });
        const int result = dialog.DoModal();
        EXPECT_EQ(shownBin, "10");
        EXPECT_EQ(shownSigma, "2.5");
        if (c.failedField == 0)
        {
            EXPECT_EQ(result, kIdOk);
            EXPECT_EQ(std::to_string(dialog.m_nBinSize), c.binSize);
            EXPECT_EQ(dialog.m_dSigma, *ParseDecimalField(c.sigma));
            EXPECT_TRUE(host.messageBoxes.empty());
            continue;
        }
        EXPECT_EQ(result, kIdCancel);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(focus, c.failedField);
    }
}

// Test the Tracking Quality results: the report in its box, "Save CSV..." running the save and
// keeping the dialog open, and OK closing it.
TEST_F(CommandDialogsTest, QualityResultsShowTheReportAndSave)
{
    int saves = 0;
    CQualityResultsDlg dialog(&Dlg(), "Records: 100\nJumps: 2\n", [&saves] { ++saves; });
    std::string shown;
    bool openAfterSave = false;
    NextDialog(
        [&](CHeadlessHost& h, CDialog& d)
        {
            shown = d.GetDlgItemText(kIdcQualityReport);
            h.PostClick(kIdcQualitySaveCsv, &d);
            h.PostClick(kIdcQualitySaveCsv, &d);
            Step(h);
            openAfterSave = d.IsWindowVisible();
            h.PostClick(kIdOk, &d);
        });
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(shown, "Records: 100\nJumps: 2\n");
    EXPECT_EQ(saves, 2);
    EXPECT_TRUE(openAfterSave);
    EXPECT_EQ(host.modalDialogs, std::vector<int>{kIddQualityResults});
}
} // namespace
