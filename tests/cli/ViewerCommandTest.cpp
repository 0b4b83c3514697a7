// tracktool viewer, reached from outside by dbus-send on a private bus of its own
// (dbus-run-session), the way another client of the viewer would reach it.
#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace
{
struct SessionRun
{
    int exitCode = -1;
    std::string output;
};

// Runs script under a fresh session bus with $TOOL set to tracktool. The script starts the viewer,
// waits for its ready line (bounded), then does its calls; everything it prints is returned.
SessionRun RunOnPrivateBus(const std::string& script)
{
    CTempDir dir;
    const std::string body =
        "TOOL='" + std::string(TRACKTOOL_PATH) + "'\n" +
        "wait_ready() { for i in $(seq 100); do grep -q 'serving' \"$1\" && return 0; sleep 0.05; "
        "done; return 1; }\n" +
        "call() { dbus-send --session --print-reply --reply-timeout=2000 "
        "--dest=Corvantix.Q7Conduit /Corvantix/Q7Conduit Corvantix.Q7Conduit.Invoke \"$@\" "
        "2>&1 | tr -s ' \\n' ' '; echo; }\n" +
        script;
    WriteWholeFile(dir.File("run.sh"), body);
    const std::string command =
        "cd '" + dir.Path() + "' && timeout 30 dbus-run-session -- sh run.sh >out 2>&1";
    const int status = std::system(command.c_str());
    SessionRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = ReadWholeFile(dir.File("out"));
    return run;
}

// Test that dispatch id 12 answers with the timestamp growing from N by 16,667 per call, the first
// argument untouched, and that SIGTERM ends the viewer with status 0.
TEST(ViewerCommand, AnswersDispatch12WithGrowingTimestampAndStopsOnSigterm)
{
    const SessionRun run = RunOnPrivateBus("\"$TOOL\" viewer --timestamp -20000 >viewer.out 2>&1 & pid=$!\n"
                                           "wait_ready viewer.out || { echo not-ready; cat viewer.out; }\n"
                                           "call int32:12 array:int32:5,6\n"
                                           "call int32:12 array:int32:5,6\n"
                                           "kill -TERM $pid; wait $pid; echo \"status=$?\"\n"
                                           "cat viewer.out\n");
    EXPECT_EQ(run.exitCode, 0);
    const std::string first = "int32 0 array [ int32 5 int32 -20000 ]";
    const std::string second = "int32 0 array [ int32 5 int32 -3333 ]";
    EXPECT_NE(run.output.find(first), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(second), std::string::npos) << run.output;
    EXPECT_LT(run.output.find(first), run.output.find(second)) << run.output;
    EXPECT_NE(run.output.find("status=0"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("tracktool viewer: serving Corvantix.Q7Conduit at /Corvantix/Q7Conduit, first "
                              "timestamp -20000"),
              std::string::npos)
        << run.output;
}

// Test that the timestamp, a 32-bit argument, wraps past the top of its range.
TEST(ViewerCommand, TimestampWrapsPastTheTopOfItsRange)
{
    const SessionRun run =
        RunOnPrivateBus("\"$TOOL\" viewer --timestamp 2147480000 >viewer.out 2>&1 & pid=$!\n"
                        "wait_ready viewer.out || echo not-ready\n"
                        "call int32:12 array:int32:0,0\n"
                        "call int32:12 array:int32:0,0\n"
                        "kill -TERM $pid; wait $pid\n");
    const std::size_t first = run.output.find("int32 0 array [ int32 0 int32 2147480000 ]");
    const std::size_t second = run.output.find("int32 0 array [ int32 0 int32 -2147470629 ]");
    EXPECT_NE(first, std::string::npos) << run.output;
    EXPECT_NE(second, std::string::npos) << run.output;
    EXPECT_LT(first, second) << run.output;
}

// Test that calls it does not offer get error replies and leave the counter alone.
TEST(ViewerCommand, RefusesOtherDispatchIdsAndMalformedCalls)
{
    const SessionRun run = RunOnPrivateBus("\"$TOOL\" viewer --timestamp 7 >viewer.out 2>&1 & pid=$!\n"
                                           "wait_ready viewer.out || echo not-ready\n"
                                           "call int32:13 array:int32:0,0\n"
                                           "call int32:12 array:int32:0\n"
                                           "call int32:12\n"
                                           "call int32:12 array:int32:0,0\n"
                                           "kill -INT $pid; wait $pid; echo \"status=$?\"\n");
    EXPECT_NE(
        run.output.find("Error Corvantix.Q7Conduit.Error.MemberNotFound: dispatch id 13 is not offered"),
        std::string::npos)
        << run.output;
    EXPECT_NE(
        run.output.find("Error org.freedesktop.DBus.Error.InvalidArgs: dispatch id 12 takes two arguments"),
        std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Error org.freedesktop.DBus.Error.InvalidArgs: expected (i dispid, ai args)"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("int32 0 array [ int32 0 int32 7 ]"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("status=0"), std::string::npos) << run.output;
}

TEST(ViewerCommand, SecondViewerFindsTheNameTaken)
{
    const SessionRun run = RunOnPrivateBus("\"$TOOL\" viewer >viewer.out 2>&1 & pid=$!\n"
                                           "wait_ready viewer.out || echo not-ready\n"
                                           "\"$TOOL\" viewer; echo \"second=$?\"\n"
                                           "kill $pid; wait $pid\n");
    EXPECT_NE(run.output.find("tracktool viewer: the name Corvantix.Q7Conduit is taken\nsecond=1"),
              std::string::npos)
        << run.output;
}

TEST(ViewerCommand, UsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {{"viewer", "--timestamp"},
                                                         {"viewer", "--timestamp=5"},
                                                         {"viewer", "--timestamp", "x"},
                                                         {"viewer", "--timestamp", "2147483648"},
                                                         {"viewer", "extra"}};
    for (const auto& args : cases)
    {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(RunTool(args).exitCode, 2);
    }
}

TEST(ViewerCommand, UnreachableBusFails)
{
    CTempDir dir;
    const std::string command = "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/trackplay-bus timeout 30 '" +
                                std::string(TRACKTOOL_PATH) + "' viewer >'" + dir.File("out") + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_NE(ReadWholeFile(dir.File("out")).find("tracktool viewer: cannot reach the session bus"),
              std::string::npos);
}
} // namespace
