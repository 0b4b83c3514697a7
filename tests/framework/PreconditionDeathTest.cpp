// The framework's preconditions that nothing else would catch: builds with asserts stop at the
// first breach and say why.
#include "TestWindow.h"
#include "support/HeadlessHost.h"

#include <gtest/gtest.h>
#include <optional>

namespace
{
struct CRangeTarget
{
    void OnRange(int) {}
};
} // namespace

TEST(FrameworkPreconditionDeathTest, BreachesStopWithTheirReason)
{
#ifdef NDEBUG
    GTEST_SKIP() << "preconditions are checked in builds with asserts only";
#else
    const std::pair<void (*)(), const char*> cases[] = {
        {[] { CTestApp a, b; }, "one application object at a time"},
        {[] { const CWaitCursor outer, inner; }, "CWaitCursor: one at a time"},
        {[] { CDataExchange(nullptr, ExchangeDirection::FromControls).Fail(0, "Please enter an integer."); },
         "needs the id of the control that failed"},
        {[] { static_cast<void>(MapCommandRange(9, 1, &CRangeTarget::OnRange)); }, "an empty range"},
        {[]
         {
             CHeadlessHost first, second;
             std::optional<CScopedHost> outer(std::in_place, first);
             const CScopedHost inner(second);
             outer.reset();
         },
         "scopes end in the reverse order"},
    };
    for (const auto& [call, reason] : cases)
        EXPECT_DEATH(call(), reason);
#endif
}
