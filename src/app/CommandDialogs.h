// The small modal dialogs of the window's later commands, each built from its template in the
// resources and exchanging its fields the framework's way: a field that does not parse or is out
// of range gets its message and the focus, and OK does not close the dialog until every field
// reads well.
//
//   CRegionPropertiesDlg  the selected region's name and its four corners
//   CHeatmapSettingsDlg   the occupancy heatmap's bin size and smoothing
//   CGoToRecordDlg        one record number of the open file
//   CQualityResultsDlg    the tracking quality report, with "Save CSV..." for its per-record table
#pragma once

#include "framework/Dialog.h"

#include <cstdint>
#include <functional>
#include <string>

// The check of a region's name field just read: the layouts' rule, its message and the focus.
void DDV_RegionName(CDataExchange* pDX, int id, const std::string& name);

// Region Properties. The name must pass the region name rule of the layout files (RegionName.h);
// the corners are any 32-bit integers, in plot pixels as drawn.
class CRegionPropertiesDlg : public CDialog
{
public:
    explicit CRegionPropertiesDlg(CDialog* pParent);

    std::string m_strName;
    std::int32_t m_nLeft = 0;
    std::int32_t m_nTop = 0;
    std::int32_t m_nRight = 0;
    std::int32_t m_nBottom = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// Heatmap Settings: the bin size in pixels (m_nMinBinSize .. m_nMaxBinSize) and the smoothing
// sigma in bins (0 for none, up to m_dMaxSigma).
class CHeatmapSettingsDlg : public CDialog
{
public:
    explicit CHeatmapSettingsDlg(CDialog* pParent);

    std::uint32_t m_nBinSize = 0;
    double m_dSigma = 0;
    std::uint32_t m_nMinBinSize = 1;
    std::uint32_t m_nMaxBinSize = 1;
    double m_dMaxSigma = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// Go to Record: a record number from 0 to the count - 1 (count >= 1); anything else, a sign, a
// letter or a number beyond the last record, is refused with one message naming the range.
class CGoToRecordDlg : public CDialog
{
public:
    CGoToRecordDlg(CDialog* pParent, std::uint32_t recordCount, std::uint32_t currentRecord);

    std::uint32_t m_nRecord = 0; // the record chosen (the current one until OK)

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    std::uint32_t m_nRecordCount;
};

// The message that refuses a record number, naming the range of a file of recordCount records.
[[nodiscard]] std::string GoToRecordRangeMessage(std::uint32_t recordCount);

// Tracking Quality: the report's lines in a read-only box; "Save CSV..." runs the caller's save
// (the dialog stays open), OK or Escape close it.
class CQualityResultsDlg : public CDialog
{
public:
    CQualityResultsDlg(CDialog* pParent, std::string report, std::function<void()> saveCsv);

protected:
    bool OnInitDialog() override;
    bool OnWndMsg(const Message& msg) override;

private:
    void OnSaveCsv();

    std::string m_strReport;
    std::function<void()> m_saveCsv;
};
