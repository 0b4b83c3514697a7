#include "framework/DataExchange.h"

#include "base/MessageSink.h"
#include "framework/Dialog.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace
{
constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Parses [+|-]digits (the whole text, blanks around it allowed) into T; nothing when the text is
// not such a number or the value does not fit T.
template <class T> std::optional<T> ParseWhole(std::string_view text)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
    {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, 10);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    if (!negative)
    {
        if (magnitude > kMax)
            return std::nullopt;
        return static_cast<T>(magnitude);
    }
    if constexpr (std::is_unsigned_v<T>)
        return std::nullopt; // "-5" is not a positive integer
    else
    {
        if (magnitude > kMax + 1)
            return std::nullopt;
        return static_cast<T>(-static_cast<std::int64_t>(magnitude));
    }
}
} // namespace

// The exchange's driver lives with the exchange, so that the dialog needs no more of it than the
// name of CDataExchange.
bool CDialog::UpdateData(ExchangeDirection direction)
{
    if (GetHostWindow() == nullptr)
        return false;
    CDataExchange dx(this, direction);
    DoDataExchange(&dx);
    return !dx.Failed();
}

void CDataExchange::Fail(int controlId, std::string_view message)
{
    // 0 is "nothing failed": a failure recorded with it would let the exchange run on.
    assert(controlId != 0 && "CDataExchange::Fail: needs the id of the control that failed");
    if (Failed())
        return;
    m_nFailedId = controlId;
    ShowMessage(message);
    if (m_pDlgWnd != nullptr)
        m_pDlgWnd->GetDlgItem(controlId).SetFocus();
}

std::optional<std::uint32_t> ParseUnsignedField(std::string_view text)
{
    return ParseWhole<std::uint32_t>(text);
}

std::optional<std::int32_t> ParseSignedField(std::string_view text)
{
    return ParseWhole<std::int32_t>(text);
}

std::optional<double> ParseDecimalField(std::string_view text)
{
    text = TrimBlanks(text);
    std::string_view number = text;
    if (!number.empty() && (number.front() == '+' || number.front() == '-'))
        number.remove_prefix(1);
    // Only digits and one point: from_chars alone would also take exponents, "inf" and "nan".
    int digits = 0;
    int points = 0;
    for (const char c : number)
    {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return text.front() == '-' ? -value : value;
}

std::string FormatDecimalField(double value)
{
    // Fixed notation in its shortest exact form; the largest double needs 309 digits before the
    // point, the smallest some 330 after it.
    constexpr std::size_t kLongestFixedDouble = 400;
    std::array<char, kLongestFixedDouble> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (error != std::errc{})
        return {};
    return std::string(buffer.data(), end);
}

void DDX_Control(CDataExchange* pDX, int id, CControl& control)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    control.Attach(*pDX->m_pDlgWnd, id);
    pDX->m_pDlgWnd->RegisterBoundControl(control);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange* pDX, int id, std::uint32_t& value)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        pDX->m_pDlgWnd->SetDlgItemText(id, std::to_string(value));
        return;
    }
    if (const auto parsed = ParseUnsignedField(pDX->m_pDlgWnd->GetDlgItemText(id)))
        value = *parsed;
    else
        pDX->Fail(id, kMsgEnterPositiveInteger);
}

void DDX_Text(CDataExchange* pDX, int id, std::int32_t& value)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        pDX->m_pDlgWnd->SetDlgItemText(id, std::to_string(value));
        return;
    }
    if (const auto parsed = ParseSignedField(pDX->m_pDlgWnd->GetDlgItemText(id)))
        value = *parsed;
    else
        pDX->Fail(id, kMsgEnterInteger);
}

void DDX_Text(CDataExchange* pDX, int id, double& value)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        pDX->m_pDlgWnd->SetDlgItemText(id, FormatDecimalField(value));
        return;
    }
    if (const auto parsed = ParseDecimalField(pDX->m_pDlgWnd->GetDlgItemText(id)))
        value = *parsed;
    else
        pDX->Fail(id, kMsgEnterNumber);
}

void DDV_Require(CDataExchange* pDX, int id, bool valid, std::string_view message)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate || valid)
        return;
    pDX->Fail(id, message);
}

void DDV_MinMaxUInt(CDataExchange* pDX, int id, std::uint32_t value, std::uint32_t minValue,
                    std::uint32_t maxValue)
{
    DDV_Require(pDX, id, minValue <= value && value <= maxValue,
                "Please enter an integer between " + std::to_string(minValue) + " and " +
                    std::to_string(maxValue) + ".");
}

void DDV_MinMaxDouble(CDataExchange* pDX, int id, double value, double minValue, double maxValue)
{
    DDV_Require(pDX, id, minValue <= value && value <= maxValue,
                "Please enter a number between " + FormatDecimalField(minValue) + " and " +
                    FormatDecimalField(maxValue) + ".");
}

void DDX_Check(CDataExchange* pDX, int id, bool& value)
{
    if (pDX->Failed() || pDX->m_pDlgWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
    else
        pDX->m_pDlgWnd->CheckDlgButton(id, value ? CheckState::Checked : CheckState::Unchecked);
}
