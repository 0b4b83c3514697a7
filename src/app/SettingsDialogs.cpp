#include "app/SettingsDialogs.h"

#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace
{
constexpr std::string_view kCalibrationLabel = "Calibration";
constexpr std::string_view kMarginLabel = "Margin (pixels)";
constexpr std::string_view kLengthLabel = "Length (cm)";

// Every field a setting is typed into, with the key whose range it has. The threshold's field
// takes either unit.
struct FieldRow
{
    int controlId;
    std::string_view label;
    SettingKey key;
};
constexpr std::array kFieldRows = {
    FieldRow{kIdcSettingsMergeGap, "Merge exits shorter than (s)", SettingKey::MergeGap},
    FieldRow{kIdcSettingsMinVisit, "Minimum visit (s)", SettingKey::MinVisit},
    FieldRow{kIdcSettingsBins, "Time bins (s)", SettingKey::Bins},
    FieldRow{kIdcSettingsSpeedWindow, "Speed window (records)", SettingKey::SpeedWindow},
    FieldRow{kIdcSettingsImmobileBelow, "Still below", SettingKey::ImmobileBelowPx},
    FieldRow{kIdcSettingsImmobileBelow, "Still below", SettingKey::ImmobileBelowCm},
    FieldRow{kIdcSettingsMinImmobile, "Minimum immobile bout (s)", SettingKey::MinImmobile},
};

const FieldRow& RowOf(SettingKey key)
{
    const auto* found =
        std::find_if(kFieldRows.begin(), kFieldRows.end(), [key](const FieldRow& r) { return r.key == key; });
    return *found; // every key the dialog types has its row
}

// Six significant digits, whatever the user's locale.
std::string Figure(double value)
{
    constexpr int kDigits = 6;
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::general, kDigits);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
}

std::string FieldMessage(std::string_view label, std::string_view problem)
{
    return std::string(label) + ": " + std::string(problem) + ".";
}

// Reads the field's text when reading the controls; refuses it with the key's range when parse
// finds no value. Writes text to the control otherwise.
template <typename T, typename Parse>
std::optional<T> ExchangeField(CDataExchange* pDX, int id, std::string text, Parse parse,
                               std::string_view label, std::string_view problem)
{
    DDX_Text(pDX, id, text);
    if (!pDX->m_bSaveAndValidate || pDX->Failed())
        return std::nullopt;
    const std::optional<T> value = parse(text);
    DDV_Require(pDX, id, value.has_value(), FieldMessage(label, problem));
    return value;
}

std::optional<double> ParseSeconds(const std::string& text)
{
    return ParseDecimalField(text);
}

// An empty field is "none"; anything else must be a number.
std::optional<std::optional<double>> ParseOptionalNumber(const std::string& text)
{
    if (text.find_first_not_of(" \t") == std::string::npos)
        return std::optional<double>();
    if (const auto value = ParseDecimalField(text))
        return std::optional<double>(*value);
    return std::nullopt;
}

std::string OptionalText(const std::optional<double>& value)
{
    return value ? FormatDecimalField(*value) : std::string();
}
} // namespace

std::string DescribeCalibration(const Calibration& c)
{
    const std::optional<double> factor = CalibrationFactor(c);
    const std::string perPixel = factor ? Figure(*factor) + " cm per pixel" : std::string();
    switch (c.form)
    {
    case CalibrationForm::None:
        break;
    case CalibrationForm::Factor:
        return perPixel;
    case CalibrationForm::Line:
        return "a line of " +
               Figure(std::hypot(static_cast<double>(c.lineTo.x) - static_cast<double>(c.lineFrom.x),
                                 static_cast<double>(c.lineTo.y) - static_cast<double>(c.lineFrom.y))) +
               " px taken as " + Figure(c.lengthCm) + " cm: " + perPixel;
    case CalibrationForm::Arena:
        return "an arena of " + Figure(std::abs(static_cast<double>(c.arena.right) - c.arena.left)) + " x " +
               Figure(std::abs(static_cast<double>(c.arena.bottom) - c.arena.top)) + " px taken as " +
               Figure(c.widthCm) + " x " + Figure(c.heightCm) + " cm: " + perPixel;
    }
    return "none: figures in pixels";
}

SettingsField FindSettingsField(std::string_view problem)
{
    for (const FieldRow& row : kFieldRows)
    {
        const std::string_view key = LayoutKeyOf(row.key);
        // The key itself, not one it is the start of.
        if (problem.starts_with(key) && (problem.size() == key.size() || problem[key.size()] == ' '))
            return SettingsField{row.controlId, row.label};
    }
    return SettingsField{kIdcSettingsClearCalibration, kCalibrationLabel}; // calibration.*
}

// --- CAnalysisSettingsDlg -----------------------------------------------------------------------

CAnalysisSettingsDlg::CAnalysisSettingsDlg(CDialog* pParent) : CDialog(kIddAnalysisSettings, pParent) {}

bool CAnalysisSettingsDlg::OnInitDialog()
{
    SetDlgItemText(kIdcSettingsCalibration, DescribeCalibration(m_settings.calibration));
    return CDialog::OnInitDialog();
}

bool CAnalysisSettingsDlg::OnWndMsg(const Message& msg)
{
    static constexpr MessageEntry<CAnalysisSettingsDlg> kMessageMap[] = {
        MapButtonClicked(kIdcSettingsClearCalibration, &CAnalysisSettingsDlg::OnRemoveCalibration),
    };
    return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
}

void CAnalysisSettingsDlg::OnRemoveCalibration()
{
    // Only the copy the dialog edits; the window takes it on OK.
    m_settings.calibration = Calibration{};
    SetDlgItemText(kIdcSettingsCalibration, DescribeCalibration(m_settings.calibration));
}

void CAnalysisSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    AnalysisSettings typed = m_settings;
    const auto margin = ExchangeField<std::int32_t>(
        pDX, kIdcSettingsMargin, std::to_string(m_nMargin),
        [](const std::string& text)
        {
            const auto value = ParseSignedField(text);
            return value && *value >= 0 ? value : std::nullopt;
        },
        kMarginLabel,
        "margin is not a whole number from 0 to " + std::to_string(std::numeric_limits<std::int32_t>::max()));

    const auto seconds = [&](int id, double value, SettingKey key)
    {
        return ExchangeField<double>(pDX, id, FormatDecimalField(value), ParseSeconds, RowOf(key).label,
                                     SettingRangeProblem(key));
    };
    const auto mergeGap = seconds(kIdcSettingsMergeGap, m_settings.mergeGapSeconds, SettingKey::MergeGap);
    const auto minVisit = seconds(kIdcSettingsMinVisit, m_settings.minVisitSeconds, SettingKey::MinVisit);
    const auto bins = ExchangeField<std::optional<double>>(
        pDX, kIdcSettingsBins, OptionalText(m_settings.binSeconds), ParseOptionalNumber,
        RowOf(SettingKey::Bins).label, SettingRangeProblem(SettingKey::Bins));
    const auto window = ExchangeField<std::int32_t>(
        pDX, kIdcSettingsSpeedWindow, std::to_string(m_settings.speedWindow), ParseSignedField,
        RowOf(SettingKey::SpeedWindow).label, SettingRangeProblem(SettingKey::SpeedWindow));
    const auto& below = m_settings.immobileBelow;
    bool inCm = below && below->unit == SpeedUnit::CmPerSecond;
    const SettingKey belowKey = inCm ? SettingKey::ImmobileBelowCm : SettingKey::ImmobileBelowPx;
    const auto threshold = ExchangeField<std::optional<double>>(
        pDX, kIdcSettingsImmobileBelow, below ? FormatDecimalField(below->value) : std::string(),
        ParseOptionalNumber, RowOf(belowKey).label, SettingRangeProblem(belowKey));
    if (!pDX->Failed())
        DDX_Check(pDX, kIdcSettingsImmobileInCm, inCm);
    const auto minImmobile =
        seconds(kIdcSettingsMinImmobile, m_settings.minImmobileSeconds, SettingKey::MinImmobile);
    if (!pDX->m_bSaveAndValidate || pDX->Failed())
        return;

    typed.mergeGapSeconds = *mergeGap;
    typed.minVisitSeconds = *minVisit;
    typed.binSeconds = *bins;
    typed.speedWindow = *window;
    typed.immobileBelow.reset();
    if (*threshold)
        typed.immobileBelow =
            ImmobilityThreshold{inCm ? SpeedUnit::CmPerSecond : SpeedUnit::PxPerSecond, **threshold};
    typed.minImmobileSeconds = *minImmobile;
    if (const std::optional<std::string> problem = FindSettingsProblem(typed))
    {
        const SettingsField field = FindSettingsField(*problem);
        pDX->Fail(field.controlId, FieldMessage(field.label, *problem));
        return;
    }
    m_settings = typed;
    m_nMargin = *margin;
}

// --- CCalibrationLengthDlg ----------------------------------------------------------------------

CCalibrationLengthDlg::CCalibrationLengthDlg(CDialog* pParent, double lineLengthPx)
    : CDialog(kIddCalibrationLength, pParent), m_dLineLengthPx(lineLengthPx)
{
}

bool CCalibrationLengthDlg::OnInitDialog()
{
    SetDlgItemText(kIdcCalibrationPrompt,
                   "The line is " + Figure(m_dLineLengthPx) + " pixels long. How long is it in centimetres?");
    return CDialog::OnInitDialog();
}

void CCalibrationLengthDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    const auto length = ExchangeField<double>(
        pDX, kIdcCalibrationLength, m_dLengthCm > 0.0 ? FormatDecimalField(m_dLengthCm) : std::string(),
        [](const std::string& text)
        {
            const auto value = ParseDecimalField(text);
            return value && IsSettingInRange(SettingKey::LengthCm, *value) ? value : std::nullopt;
        },
        kLengthLabel, SettingRangeProblem(SettingKey::LengthCm));
    if (length)
        m_dLengthCm = *length;
}
