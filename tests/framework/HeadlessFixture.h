// A headless host with the framework's message sink and a started CTestApp.
#pragma once

#include "TestWindow.h"
#include "framework/HostMessageSink.h"
#include "support/HeadlessHost.h"

#include <gtest/gtest.h>

class HeadlessFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.InitInstance());
        host.RunUntilIdle(); // the first paint, and the idle call of start-up if any
        app.m_dlg.events.clear();
        app.m_dlg.paints = 0;
        app.idleCalls = 0;
        app.idleCounts.clear();
    }

    CTestWindow& Dlg() { return app.m_dlg; }
    CHeadlessWindow& Window() { return *host.MainWindow(); }

    CHeadlessHost host;
    CScopedHost scopedHost{host};
    CHostMessageSink sink{kTestAppName};
    CScopedMessageSink scopedSink{sink};
    CTestApp app;
};
