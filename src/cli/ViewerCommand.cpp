// tracktool viewer: a stand-in for the companion viewer, so the link can be tried without it. It
// serves the viewer's object on the session bus and answers dispatch id 12 with a timestamp that
// starts at N and grows by 16,667 (one sixtieth of a second in microseconds) per call. It runs
// until SIGTERM or SIGINT, which end it cleanly.
#include "cli/CliCommand.h"
#include "viewerlink/BusViewerAutomation.h"
#include "viewerlink/ViewerLink.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QSocketNotifier>
#include <QVariant>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace
{
int RunViewer(const std::vector<std::string>& args);

const CliCommand kViewer{"viewer", "[--timestamp N]",
                         "serve a stand-in Corvantix viewer on the session bus until killed", &RunViewer};
const CCliCommandRegistration kRegisterViewer(kViewer);

constexpr std::int32_t kTimestampStep = 16667;
const QString kErrorUnknownDispId = QStringLiteral("Corvantix.Q7Conduit.Error.MemberNotFound");
const QString kErrorBadArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kErrorUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

// The object: Invoke(i dispid, ai args) -> (i result, ai args). Dispatch id 12 leaves the first
// argument as it came and the timestamp in the second; other ids get an error reply.
class CViewerObject final : public QDBusVirtualObject
{
public:
    CViewerObject(QString interface, std::int32_t firstTimestamp)
        : m_strInterface(std::move(interface)), m_nNext(static_cast<std::uint32_t>(firstTimestamp))
    {
    }

    QString introspect(const QString&) const override
    {
        return QStringLiteral("<interface name=\"%1\">"
                              "<method name=\"Invoke\">"
                              "<arg name=\"dispid\" type=\"i\" direction=\"in\"/>"
                              "<arg name=\"args\" type=\"ai\" direction=\"in\"/>"
                              "<arg name=\"result\" type=\"i\" direction=\"out\"/>"
                              "<arg name=\"args\" type=\"ai\" direction=\"out\"/>"
                              "</method></interface>")
            .arg(m_strInterface);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.type() != QDBusMessage::MethodCallMessage)
            return false;
        if (message.member() == QStringLiteral("Introspect") &&
            (message.interface().isEmpty() ||
             message.interface() == QStringLiteral("org.freedesktop.DBus.Introspectable")))
        {
            connection.send(message.createReply(QVariant(
                QStringLiteral("<node><interface name=\"org.freedesktop.DBus.Introspectable\">"
                               "<method name=\"Introspect\"><arg type=\"s\" direction=\"out\"/></method>"
                               "</interface>%1</node>")
                    .arg(introspect({})))));
            return true;
        }
        if (message.interface() != m_strInterface || message.member() != QStringLiteral("Invoke"))
        {
            connection.send(
                message.createErrorReply(kErrorUnknownMethod, QStringLiteral("only Invoke is offered")));
            return true;
        }
        if (message.signature() != QStringLiteral("iai"))
        {
            connection.send(
                message.createErrorReply(kErrorBadArgs, QStringLiteral("expected (i dispid, ai args)")));
            return true;
        }
        const std::int32_t dispId = message.arguments()[0].toInt();
        QList<int> values = qdbus_cast<QList<int>>(message.arguments()[1]);
        if (dispId != kViewerTimestampDispId)
        {
            connection.send(message.createErrorReply(
                kErrorUnknownDispId, QStringLiteral("dispatch id %1 is not offered").arg(dispId)));
            return true;
        }
        if (values.size() < 2)
        {
            connection.send(message.createErrorReply(kErrorBadArgs,
                                                     QStringLiteral("dispatch id 12 takes two arguments")));
            return true;
        }
        values[1] = static_cast<std::int32_t>(m_nNext); // wraps around past the 32-bit range
        m_nNext += static_cast<std::uint32_t>(kTimestampStep);
        connection.send(message.createReply({QVariant::fromValue(0), QVariant::fromValue(values)}));
        return true;
    }

private:
    QString m_strInterface;
    std::uint32_t m_nNext; // unsigned, so that growing past the top wraps instead of overflowing
};

// SIGTERM and SIGINT write to a pipe that the event loop watches, so the loop ends normally.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

int RunViewer(const std::vector<std::string>& args)
{
    std::int32_t firstTimestamp = 0;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--timestamp" && i + 1 < args.size())
        {
            const auto value = ParseCliSigned(args[++i]);
            if (!value)
                return CliUsageError(kViewer, "--timestamp takes a signed 32-bit number");
            firstTimestamp = static_cast<std::int32_t>(*value);
        }
        else
            return CliUsageError(kViewer);
    }

    int argc = 1;
    char name[] = "tracktool";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
    {
        std::fprintf(stderr, "tracktool viewer: cannot reach the session bus\n");
        return kExitFailed;
    }
    const QString busName =
        QString::fromUtf8(kViewerProgId.data(), static_cast<qsizetype>(kViewerProgId.size()));
    const QString path = QString::fromStdString(ViewerObjectPath(kViewerProgId));
    CViewerObject object(busName, firstTimestamp);
    if (!bus.registerVirtualObject(path, &object))
    {
        std::fprintf(stderr, "tracktool viewer: cannot register %s\n", path.toUtf8().constData());
        return kExitFailed;
    }
    const auto request = bus.interface()->registerService(busName, QDBusConnectionInterface::DontQueueService,
                                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!request.isValid() || request.value() != QDBusConnectionInterface::ServiceRegistered)
    {
        std::fprintf(stderr, "tracktool viewer: the name %s is taken\n", busName.toUtf8().constData());
        bus.unregisterObject(path);
        return kExitFailed;
    }

    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return kExitFailed;
    QSocketNotifier stopNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    std::printf("tracktool viewer: serving %s at %s, first timestamp %d\n", busName.toUtf8().constData(),
                path.toUtf8().constData(), static_cast<int>(firstTimestamp));
    std::fflush(stdout);
    app.exec();

    bus.interface()->unregisterService(busName);
    bus.unregisterObject(path);
    close(g_signalPipe[0]);
    close(g_signalPipe[1]);
    return kExitOk;
}
} // namespace
