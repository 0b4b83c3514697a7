#include "app/CommandDialogs.h"

#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "regions/RegionName.h"
#include "resources/ResourceIds.h"

#include <utility>

// --- CRegionPropertiesDlg -----------------------------------------------------------------------

void DDV_RegionName(CDataExchange* pDX, int id, const std::string& name)
{
    if (!pDX->m_bSaveAndValidate || pDX->Failed())
        return;
    const std::optional<std::string> problem = CheckRegionName(name);
    DDV_Require(pDX, id, !problem.has_value(), problem.value_or(std::string()));
}

CRegionPropertiesDlg::CRegionPropertiesDlg(CDialog* pParent) : CDialog(kIddRegionProperties, pParent) {}

void CRegionPropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdcRegionName, m_strName);
    DDV_RegionName(pDX, kIdcRegionName, m_strName);
    DDX_Text(pDX, kIdcRegionLeft, m_nLeft);
    DDX_Text(pDX, kIdcRegionTop, m_nTop);
    DDX_Text(pDX, kIdcRegionRight, m_nRight);
    DDX_Text(pDX, kIdcRegionBottom, m_nBottom);
}

// --- CHeatmapSettingsDlg ------------------------------------------------------------------------

CHeatmapSettingsDlg::CHeatmapSettingsDlg(CDialog* pParent) : CDialog(kIddHeatmapSettings, pParent) {}

void CHeatmapSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdcHeatmapBinSize, m_nBinSize);
    DDV_MinMaxUInt(pDX, kIdcHeatmapBinSize, m_nBinSize, m_nMinBinSize, m_nMaxBinSize);
    DDX_Text(pDX, kIdcHeatmapSigma, m_dSigma);
    DDV_MinMaxDouble(pDX, kIdcHeatmapSigma, m_dSigma, 0.0, m_dMaxSigma);
}

// --- CGoToRecordDlg -----------------------------------------------------------------------------

std::string GoToRecordRangeMessage(std::uint32_t recordCount)
{
    return "Please enter a record number from 0 to " + std::to_string(recordCount - 1u) + ".";
}

CGoToRecordDlg::CGoToRecordDlg(CDialog* pParent, std::uint32_t recordCount, std::uint32_t currentRecord)
    : CDialog(kIddGoToRecord, pParent), m_nRecord(currentRecord), m_nRecordCount(recordCount)
{
}

bool CGoToRecordDlg::OnInitDialog()
{
    SetDlgItemText(kIdcGoToPrompt, "Record number (0 to " + std::to_string(m_nRecordCount - 1u) + "):");
    return CDialog::OnInitDialog();
}

void CGoToRecordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // Read as text, so that every refusal (no number, a sign, beyond the last record) gets the
    // one message that names the range.
    std::string text = std::to_string(m_nRecord);
    DDX_Text(pDX, kIdcGoToRecord, text);
    if (!pDX->m_bSaveAndValidate || pDX->Failed())
        return;
    const std::optional<std::uint32_t> record = ParseUnsignedField(text);
    const bool valid = record.has_value() && *record < m_nRecordCount;
    DDV_Require(pDX, kIdcGoToRecord, valid, GoToRecordRangeMessage(m_nRecordCount));
    if (valid)
        m_nRecord = *record;
}

// --- CQualityResultsDlg -------------------------------------------------------------------------

CQualityResultsDlg::CQualityResultsDlg(CDialog* pParent, std::string report, std::function<void()> saveCsv)
    : CDialog(kIddQualityResults, pParent), m_strReport(std::move(report)), m_saveCsv(std::move(saveCsv))
{
}

bool CQualityResultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kIdcQualityReport, m_strReport);
    return true;
}

bool CQualityResultsDlg::OnWndMsg(const Message& msg)
{
    static constexpr MessageEntry<CQualityResultsDlg> kMessageMap[] = {
        MapButtonClicked(kIdcQualitySaveCsv, &CQualityResultsDlg::OnSaveCsv),
    };
    return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
}

void CQualityResultsDlg::OnSaveCsv()
{
    if (m_saveCsv)
        m_saveCsv();
}
