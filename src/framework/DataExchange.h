// The data exchange between a dialog's controls and its member fields, run by UpdateData through
// the dialog's DoDataExchange:
//
//   void CPlaybackDlg::DoDataExchange(CDataExchange* pDX)
//   {
//       CDialog::DoDataExchange(pDX);
//       DDX_Control(pDX, kIdcScrollBar, m_scrollBar);
//       DDX_Text(pDX, kIdcPlotEveryNth, m_plotEveryNth);   // std::uint32_t: "%u"
//       DDX_Text(pDX, kIdcRecordNumber, m_strRecordNumber); // std::string
//       DDX_Check(pDX, kIdcCheckRR, m_colorFilter.rr);      // bool
//       DDX_Text(pDX, kIdcMaxDistance, m_maxTargetDistance); // std::int32_t: "%d"
//   }
//
// When reading (save and validate), a numeric field whose text does not parse (empty included)
// shows its message, gets the focus and stops the exchange: every DDX_ call after it sees
// pDX->Failed() and does nothing, so that member and all later ones keep their values, and
// UpdateData returns false. Nothing is thrown.
#pragma once

#include "framework/Dialog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kMsgEnterPositiveInteger = "Please enter a positive integer.";
inline constexpr std::string_view kMsgEnterInteger = "Please enter an integer.";
inline constexpr std::string_view kMsgEnterNumber = "Please enter a number.";

class CDataExchange
{
public:
    CDataExchange(CDialog* pDlgWnd, ExchangeDirection direction)
        : m_bSaveAndValidate(direction == ExchangeDirection::FromControls), m_pDlgWnd(pDlgWnd)
    {
    }

    // Shows message, puts the focus on the control and stops the exchange.
    void Fail(int controlId, std::string_view message);
    [[nodiscard]] bool Failed() const { return m_nFailedId != 0; }
    [[nodiscard]] int GetFailedControlId() const { return m_nFailedId; } // 0 while nothing failed

    const bool m_bSaveAndValidate; // true: controls -> members
    CDialog* const m_pDlgWnd;      // the dialog being exchanged (not owned)

private:
    int m_nFailedId = 0;
};

// Binds a control handle (CScrollBar, CStatic, ...) to control id; both directions.
void DDX_Control(CDataExchange* pDX, int id, CControl& control);
// Plain text, both directions.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Unsigned decimal ("%u"): message "Please enter a positive integer." when it does not parse.
void DDX_Text(CDataExchange* pDX, int id, std::uint32_t& value);
// Signed decimal ("%d"): message "Please enter an integer." when it does not parse.
void DDX_Text(CDataExchange* pDX, int id, std::int32_t& value);
// Decimal number ("1.5", "-2", ".25"; no exponent): message "Please enter a number." when it
// does not parse. Written back in the shortest form that reads as the same value.
void DDX_Text(CDataExchange* pDX, int id, double& value);
// Check state of a check box.
void DDX_Check(CDataExchange* pDX, int id, bool& value);

// Validation of a field just exchanged, when reading: unless valid, the field gets message and the
// focus and the exchange stops there (later members keep their values). Nothing when writing or
// after an earlier failure.
void DDV_Require(CDataExchange* pDX, int id, bool valid, std::string_view message);
// min <= value <= max, else "Please enter an integer between <min> and <max>.".
void DDV_MinMaxUInt(CDataExchange* pDX, int id, std::uint32_t value, std::uint32_t minValue,
                    std::uint32_t maxValue);
// min <= value <= max, else "Please enter a number between <min> and <max>.".
void DDV_MinMaxDouble(CDataExchange* pDX, int id, double value, double minValue, double maxValue);

// The parsing rules of the numeric fields. Blanks and tabs around the number are allowed; an
// optional sign ("-" only for signed fields, "+" for both) is followed by at least one digit and
// nothing else. A value outside the type's range does not parse: the field is refused with its
// message rather than silently clamped to the largest value.
[[nodiscard]] std::optional<std::uint32_t> ParseUnsignedField(std::string_view text);
[[nodiscard]] std::optional<std::int32_t> ParseSignedField(std::string_view text);
// A decimal field: blanks around it, an optional sign, digits with at most one '.' and at least one
// digit; no exponent, no "inf" or "nan".
[[nodiscard]] std::optional<double> ParseDecimalField(std::string_view text);
// A number as a decimal field shows it: the shortest text that reads back as the same value.
[[nodiscard]] std::string FormatDecimalField(double value);
