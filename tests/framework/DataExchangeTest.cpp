#include "HeadlessFixture.h"

// Test the parsing rules of the numeric fields at their edges.
TEST(DataExchange, ParseNumericFields)
{
    struct Case
    {
        const char* text;
        std::optional<std::uint32_t> unsignedValue;
        std::optional<std::int32_t> signedValue;
    };
    const Case cases[] = {
        {"60", 60u, 60},
        {" 7\t", 7u, 7},
        {"0", 0u, 0},
        {"+5", 5u, 5},
        {"", std::nullopt, std::nullopt},
        {"  ", std::nullopt, std::nullopt},
        {"-1", std::nullopt, -1},
        {"-", std::nullopt, std::nullopt},
        {"+-3", std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"1 2", std::nullopt, std::nullopt},
        {"4294967295", 4294967295u, std::nullopt},
        {"4294967296", std::nullopt, std::nullopt},
        {"2147483647", 2147483647u, 2147483647},
        {"-2147483648", std::nullopt, std::numeric_limits<std::int32_t>::min()},
        {"-2147483649", std::nullopt, std::nullopt},
        {"99999999999999999999999", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ParseUnsignedField(c.text), c.unsignedValue) << '"' << c.text << '"';
        EXPECT_EQ(ParseSignedField(c.text), c.signedValue) << '"' << c.text << '"';
    }
}

using DataExchangeOrder = HeadlessFixture;

// Test that the first exchange writes every member into its control.
TEST_F(DataExchangeOrder, InitialExchangeFillsControls)
{
    EXPECT_EQ(Window().GetControlText(kIdcPlotEveryNth), "60");
    EXPECT_EQ(Window().GetControlText(kIdcMinDistance), "10");
    EXPECT_EQ(Window().GetControlText(kIdcMaxDistance), "100");
    EXPECT_EQ(Window().GetControlText(kIdcRecordNumber), "0");
    EXPECT_EQ(Window().GetControlText(kIdcX), "");
    EXPECT_EQ(Window().GetControlText(kIdcLastRecord), "");
    for (int id : CTestWindow::kColorIds)
        EXPECT_TRUE(Window().GetCheck(id)) << id;
}

namespace
{
struct OrderCase
{
    int emptyControl;    // the edit left empty
    const char* message; // the message shown
    bool colorsTaken;    // the unticked check boxes reached m_colorFilter
    bool maxTaken;       // the typed Max reached the member
    bool minTaken;       // the typed Min reached the member
};
} // namespace

// Test that an unparsable field shows its message, gets the focus and stops the exchange there:
// it and all later members keep their values, earlier ones are taken.
TEST_F(DataExchangeOrder, FailureStopsTheExchange)
{
    const OrderCase cases[] = {
        {kIdcPlotEveryNth, "Please enter a positive integer.", false, false, false},
        {kIdcMaxDistance, "Please enter an integer.", true, false, false},
        {kIdcMinDistance, "Please enter an integer.", true, true, false},
    };
    for (const OrderCase& c : cases)
    {
        CTestWindow& dlg = Dlg();
        dlg.m_colorFilter.fill(true);
        dlg.m_plotEveryNth = 60;
        dlg.m_maxTargetDistance = 100;
        dlg.m_minTargetDistance = 10;
        ASSERT_TRUE(dlg.UpdateData(false));
        host.messageBoxes.clear();
        for (int id : CTestWindow::kColorIds)
            host.MainWindow()->SetCheck(id, false);
        host.TypeText(kIdcPlotEveryNth, "30");
        host.TypeText(kIdcMaxDistance, "200");
        host.TypeText(kIdcMinDistance, "20");
        host.TypeText(c.emptyControl, "");

        EXPECT_FALSE(dlg.UpdateData(true));
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_EQ(host.messageBoxes[0].request.text, c.message);
        EXPECT_EQ(host.messageBoxes[0].request.caption, "trackplay");
        EXPECT_EQ(host.messageBoxes[0].request.icon, MessageBoxIcon::Exclamation);
        EXPECT_EQ(dlg.GetFocusId(), c.emptyControl);
        EXPECT_EQ(dlg.m_plotEveryNth, c.emptyControl == kIdcPlotEveryNth ? 60u : 30u);
        EXPECT_EQ(dlg.m_colorFilter[0], !c.colorsTaken);
        EXPECT_EQ(dlg.m_colorFilter[6], !c.colorsTaken);
        EXPECT_EQ(dlg.m_maxTargetDistance, c.maxTaken ? 200 : 100);
        EXPECT_EQ(dlg.m_minTargetDistance, c.minTaken ? 20 : 10);
    }
}

// Test that clicking a colour box while "Plot every Xth frame" is empty shows the message, puts
// the focus in that box, and leaves the colour filter as it was.
TEST_F(DataExchangeOrder, ColourClickWithEmptyPlotEveryNth)
{
    host.TypeText(kIdcPlotEveryNth, "");
    host.PostClick(kIdcCheckRR);
    host.RunUntilIdle();
    EXPECT_FALSE(Window().GetCheck(kIdcCheckRR)); // the box toggled itself
    EXPECT_TRUE(Dlg().m_colorFilter[0]);          // but the member kept its value
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].request.text, "Please enter a positive integer.");
    EXPECT_EQ(Dlg().GetFocusId(), kIdcPlotEveryNth);
}

// Test that a successful read takes every control and writing puts members back.
TEST_F(DataExchangeOrder, RoundTrip)
{
    host.TypeText(kIdcPlotEveryNth, "7");
    host.TypeText(kIdcMinDistance, "-3");
    host.MainWindow()->SetCheck(kIdcCheckLum, false);
    EXPECT_TRUE(Dlg().UpdateData(true));
    EXPECT_EQ(Dlg().m_plotEveryNth, 7u);
    EXPECT_EQ(Dlg().m_minTargetDistance, -3);
    EXPECT_FALSE(Dlg().m_colorFilter[6]);
    Dlg().m_strX = "-17";
    Dlg().m_plotEveryNth = 4294967295u;
    EXPECT_TRUE(Dlg().UpdateData(false));
    EXPECT_EQ(Window().GetControlText(kIdcX), "-17");
    EXPECT_EQ(Window().GetControlText(kIdcPlotEveryNth), "4294967295");
    EXPECT_TRUE(host.messageBoxes.empty());
}
