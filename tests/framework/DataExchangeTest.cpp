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
        ASSERT_TRUE(dlg.UpdateData(ExchangeDirection::ToControls));
        host.messageBoxes.clear();
        for (int id : {kIdcTestCheckA, kIdcTestCheckB})
            host.MainWindow()->SetCheck(id, CheckState::Unchecked);
        host.TypeText(kIdcTestCount, "30");
        host.TypeText(kIdcTestHigh, "200");
        host.TypeText(kIdcTestLow, "20");
        host.TypeText(c.emptyControl, "");

        EXPECT_FALSE(dlg.UpdateData(ExchangeDirection::FromControls));
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
    host.MainWindow()->SetCheck(kIdcTestCheckB, CheckState::Unchecked);
    EXPECT_TRUE(Dlg().UpdateData(ExchangeDirection::FromControls));
    EXPECT_EQ(Dlg().m_nCount, 7u);
    EXPECT_EQ(Dlg().m_nLow, -3);
    EXPECT_EQ(Dlg().m_strReadout, "typed");
    EXPECT_TRUE(Dlg().m_bCheckA);
    EXPECT_FALSE(Dlg().m_bCheckB);
    Dlg().m_strReadout = "-17";
    Dlg().m_nCount = 4294967295u;
    Dlg().m_bCheckA = false;
    EXPECT_TRUE(Dlg().UpdateData(ExchangeDirection::ToControls));
    EXPECT_EQ(Window().GetControlText(kIdcTestReadout), "-17");
    EXPECT_EQ(Window().GetControlText(kIdcTestCount), "4294967295");
    EXPECT_FALSE(Window().GetCheck(kIdcTestCheckA));
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test the decimal fields' rules at their edges, and that every value written reads back the same.
TEST(DataExchange, ParseAndFormatDecimalFields)
{
    struct Case
    {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.5", 1.5},
        {" 2\t", 2.0},
        {"0", 0.0},
        {".25", 0.25},
        {"3.", 3.0},
        {"+0.5", 0.5},
        {"-1.25", -1.25},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1e3", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"1,5", std::nullopt},
        {"1 5", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimalField(c.text), c.value) << '"' << c.text << '"';
    for (const double value : {0.0, 1.0, 2.5, 0.1, 1e-7, 123456789.125, -3.75, 1e300})
    {
        const std::string text = FormatDecimalField(value);
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        EXPECT_EQ(ParseDecimalField(text), value) << text;
    }
    EXPECT_EQ(FormatDecimalField(2.5), "2.5");
    EXPECT_EQ(FormatDecimalField(10.0), "10");
}

namespace
{
// The test window with two validated fields of its own: Count must be 1 to 50 and High a share of
// the number in Low's place, read as a decimal from 0 to 2.5.
class CValidatingWindow : public CTestWindow
{
public:
    double m_dShare = 1.0;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kIdcTestCount, m_nCount);
        DDV_MinMaxUInt(pDX, kIdcTestCount, m_nCount, 1, 50);
        DDX_Text(pDX, kIdcTestHigh, m_dShare);
        DDV_MinMaxDouble(pDX, kIdcTestHigh, m_dShare, 0.0, 2.5);
        DDX_Text(pDX, kIdcTestReadout, m_strReadout);
        DDV_Require(pDX, kIdcTestReadout, m_strReadout != "bad", "Not that one.");
    }
};

class ValidationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(kIddTestWindow));
        host.RunUntilIdle();
    }

    CHeadlessHost host;
    CScopedHost scopedHost{host};
    CHostMessageSink sink{kTestAppName};
    CScopedMessageSink scopedSink{sink};
    CValidatingWindow dlg;
};
} // namespace

// Test the range checks after a field's exchange: a value out of range gets its message and the
// focus, keeps nothing after it, and the bounds themselves are taken; writing checks nothing.
TEST_F(ValidationTest, RangesStopTheExchangeWithTheirMessage)
{
    struct Case
    {
        const char* count;
        const char* share;
        const char* readout;
        int failedId; // 0: the exchange succeeds
        const char* message;
    };
    const Case cases[] = {
        {"1", "0", "ok", 0, ""},
        {"50", "2.5", "ok", 0, ""},
        {"0", "1", "ok", kIdcTestCount, "Please enter an integer between 1 and 50."},
        {"51", "1", "ok", kIdcTestCount, "Please enter an integer between 1 and 50."},
        {"7", "2.6", "ok", kIdcTestHigh, "Please enter a number between 0 and 2.5."},
        {"7", "-0.5", "ok", kIdcTestHigh, "Please enter a number between 0 and 2.5."},
        {"7", "x", "ok", kIdcTestHigh, "Please enter a number."},
        {"7", "1.5", "bad", kIdcTestReadout, "Not that one."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.count) + " " + c.share + " " + c.readout);
        dlg.m_nCount = 9;
        dlg.m_dShare = 1.0;
        dlg.m_strReadout = "before";
        host.messageBoxes.clear();
        host.TypeText(kIdcTestCount, c.count, &dlg);
        host.TypeText(kIdcTestHigh, c.share, &dlg);
        host.TypeText(kIdcTestReadout, c.readout, &dlg);
        EXPECT_EQ(dlg.UpdateData(ExchangeDirection::FromControls), c.failedId == 0);
        if (c.failedId == 0)
        {
            EXPECT_TRUE(host.messageBoxes.empty());
            EXPECT_EQ(dlg.m_strReadout, c.readout);
            continue;
        }
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_EQ(host.messageBoxes[0].request.text, c.message);
        EXPECT_EQ(dlg.GetFocusId(), c.failedId);
        EXPECT_EQ(dlg.m_strReadout, c.failedId == kIdcTestReadout ? "bad" : "before")
            << "a field after the failed one keeps its value";
    }
    dlg.m_nCount = 0; // out of range, but writing validates nothing
    host.messageBoxes.clear();
    EXPECT_TRUE(dlg.UpdateData(ExchangeDirection::ToControls));
    EXPECT_EQ(host.FindWindow(dlg)->GetControlText(kIdcTestCount), "0");
    EXPECT_TRUE(host.messageBoxes.empty());
}
