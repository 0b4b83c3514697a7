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
    EXPECT_EQ(Window().GetControlText(kIdcTestCount), "60");
    EXPECT_EQ(Window().GetControlText(kIdcTestLow), "10");
    EXPECT_EQ(Window().GetControlText(kIdcTestHigh), "100");
    EXPECT_EQ(Window().GetControlText(kIdcTestReadout), "0");
    for (int id : {kIdcTestCheckA, kIdcTestCheckB})
        EXPECT_TRUE(Window().GetCheck(id)) << id;
}

namespace
{
struct OrderCase
{
    int emptyControl;    // the edit left empty
    const char* message; // the message shown
    bool checksTaken;    // the unticked check boxes reached their members
    bool highTaken;      // the typed high value reached its member
    bool lowTaken;       // the typed low value reached its member
};
} // namespace

// Test that an unparsable field shows its message, gets the focus and stops the exchange there:
// it and all later members keep their values, earlier ones are taken.
TEST_F(DataExchangeOrder, FailureStopsTheExchange)
{
    const OrderCase cases[] = {
        {kIdcTestCount, "Please enter a positive integer.", false, false, false},
        {kIdcTestHigh, "Please enter an integer.", true, false, false},
        {kIdcTestLow, "Please enter an integer.", true, true, false},
    };
    for (const OrderCase& c : cases)
    {
        CTestWindow& dlg = Dlg();
        dlg.m_bCheckA = true;
        dlg.m_bCheckB = true;
        dlg.m_nCount = 60;
        dlg.m_nHigh = 100;
        dlg.m_nLow = 10;
        ASSERT_TRUE(dlg.UpdateData(false));
        host.messageBoxes.clear();
        for (int id : {kIdcTestCheckA, kIdcTestCheckB})
            host.MainWindow()->SetCheck(id, false);
        host.TypeText(kIdcTestCount, "30");
        host.TypeText(kIdcTestHigh, "200");
        host.TypeText(kIdcTestLow, "20");
        host.TypeText(c.emptyControl, "");

        EXPECT_FALSE(dlg.UpdateData(true));
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_EQ(host.messageBoxes[0].request.text, c.message);
        EXPECT_EQ(host.messageBoxes[0].request.caption, kTestAppName);
        EXPECT_EQ(host.messageBoxes[0].request.icon, MessageBoxIcon::Exclamation);
        EXPECT_EQ(dlg.GetFocusId(), c.emptyControl);
        EXPECT_EQ(dlg.m_nCount, c.emptyControl == kIdcTestCount ? 60u : 30u);
        EXPECT_EQ(dlg.m_bCheckA, !c.checksTaken);
        EXPECT_EQ(dlg.m_bCheckB, !c.checksTaken);
        EXPECT_EQ(dlg.m_nHigh, c.highTaken ? 200 : 100);
        EXPECT_EQ(dlg.m_nLow, c.lowTaken ? 20 : 10);
    }
}

// Test that clicking a check box that reads the controls while an earlier edit is empty shows the
// message, puts the focus in that edit, and leaves the check box's member as it was.
TEST_F(DataExchangeOrder, CheckClickWithAnEarlierEditEmpty)
{
    host.TypeText(kIdcTestCount, "");
    host.PostClick(kIdcTestCheckA);
    host.RunUntilIdle();
    EXPECT_FALSE(Window().GetCheck(kIdcTestCheckA)); // the box toggled itself
    EXPECT_TRUE(Dlg().m_bCheckA);                    // but the member kept its value
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].request.text, "Please enter a positive integer.");
    EXPECT_EQ(Dlg().GetFocusId(), kIdcTestCount);
}

// Test that a successful read takes every control and writing puts members back.
TEST_F(DataExchangeOrder, RoundTrip)
{
    host.TypeText(kIdcTestCount, "7");
    host.TypeText(kIdcTestLow, "-3");
    host.TypeText(kIdcTestReadout, "typed");
    host.MainWindow()->SetCheck(kIdcTestCheckB, false);
    EXPECT_TRUE(Dlg().UpdateData(true));
    EXPECT_EQ(Dlg().m_nCount, 7u);
    EXPECT_EQ(Dlg().m_nLow, -3);
    EXPECT_EQ(Dlg().m_strReadout, "typed");
    EXPECT_TRUE(Dlg().m_bCheckA);
    EXPECT_FALSE(Dlg().m_bCheckB);
    Dlg().m_strReadout = "-17";
    Dlg().m_nCount = 4294967295u;
    Dlg().m_bCheckA = false;
    EXPECT_TRUE(Dlg().UpdateData(false));
    EXPECT_EQ(Window().GetControlText(kIdcTestReadout), "-17");
    EXPECT_EQ(Window().GetControlText(kIdcTestCount), "4294967295");
    EXPECT_FALSE(Window().GetCheck(kIdcTestCheckA));
    EXPECT_TRUE(host.messageBoxes.empty());
}
