// The framework's preconditions that nothing else would catch: builds with asserts stop at the
// first breach and say why.
#include "TestWindow.h"
#include "support/HeadlessHost.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{
// A second host, so that two scopes can be ended in the wrong order.
struct TwoHosts
{
    CHeadlessHost first;
    CHeadlessHost second;
};

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
    struct Case
    {
        const char* name;
        void (*call)();
        const char* reason;
    };
    const Case cases[] = {
        {"two applications", [] { CTestApp a, b; }, "one application object at a time"},
        {"a wait cursor inside another",
         []
         {
             const CWaitCursor outer;
             const CWaitCursor inner;
         },
         "one at a time"},
        {"a failure without a control",
         []
         {
             CDataExchange dx(nullptr, ExchangeDirection::FromControls);
             dx.Fail(0, "Please enter an integer.");
         },
         "needs the id of the control that failed"},
        {"a command range that ends before it starts",
         [] { static_cast<void>(MapCommandRange(kCmdTestLast, kCmdTestFirst, &CRangeTarget::OnRange)); },
         "an empty range would never match"},
        {"host scopes ended out of order",
         []
         {
             TwoHosts hosts;
             auto outer = std::make_unique<CScopedHost>(hosts.first);
             auto inner = std::make_unique<CScopedHost>(hosts.second);
             outer.reset();
         },
         "scopes end in the reverse order of their start"},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(c.call(), c.reason) << c.name;
#endif
}
