#include "viewerlink/StandInViewer.h"

#include "base/ResultCodes.h"
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
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace
{
const QString kErrorUnknownDispId = QStringLiteral("Corvantix.Q7Conduit.Error.MemberNotFound");
const QString kErrorBadArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kErrorUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

// The object: Invoke(i dispid, ai args) -> (i result, ai args). Dispatch id 12 leaves the first
// argument as it came and the timestamp in the second; other ids get an error reply.
class CStandInViewerObject final : public QDBusVirtualObject
{
public:
    CStandInViewerObject(QString interface, std::int32_t firstTimestamp)
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
        m_nNext += static_cast<std::uint32_t>(kStandInTimestampStep);
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

// The stop-signal pipe and handlers for the time the stand-in serves; the previous handlers are
// restored and the pipe closed afterwards.
class CStopSignals
{
public:
    CStopSignals() : m_bReady(pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0)
    {
        if (!m_bReady)
            return;
        struct sigaction action = {};
        action.sa_handler = &OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, &m_previousTerm);
        sigaction(SIGINT, &action, &m_previousInt);
    }
    ~CStopSignals()
    {
        if (!m_bReady)
            return;
        sigaction(SIGTERM, &m_previousTerm, nullptr);
        sigaction(SIGINT, &m_previousInt, nullptr);
        close(g_signalPipe[0]);
        close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    [[nodiscard]] bool IsReady() const { return m_bReady; }
    [[nodiscard]] int ReadEnd() const { return g_signalPipe[0]; }

private:
    bool m_bReady;
    struct sigaction m_previousTerm = {};
    struct sigaction m_previousInt = {};
};
} // namespace

std::int32_t ServeStandInViewer(std::int32_t firstTimestamp, const std::function<void()>& onServing)
{
    static int argc = 1;
    static char name[] = "trackplay-stand-in-viewer";
    static char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> ownApp;
    if (QCoreApplication::instance() == nullptr)
        ownApp.emplace(argc, argv);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return kViewerErrNoBus;
    const QString busName =
        QString::fromUtf8(kViewerProgId.data(), static_cast<qsizetype>(kViewerProgId.size()));
    const QString path = QString::fromStdString(ViewerObjectPath(kViewerProgId));
    CStandInViewerObject object(busName, firstTimestamp);
    if (!bus.registerVirtualObject(path, &object))
        return kStandInErrNoObject;
    const auto request = bus.interface()->registerService(busName, QDBusConnectionInterface::DontQueueService,
                                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!request.isValid() || request.value() != QDBusConnectionInterface::ServiceRegistered)
    {
        bus.unregisterObject(path);
        return kStandInErrNameTaken;
    }

    std::int32_t result = kOk;
    {
        CStopSignals stopSignals;
        if (stopSignals.IsReady())
        {
            QSocketNotifier stopNotifier(stopSignals.ReadEnd(), QSocketNotifier::Read);
            QObject::connect(&stopNotifier, &QSocketNotifier::activated, QCoreApplication::instance(),
                             &QCoreApplication::quit);
            if (onServing)
                onServing();
            QCoreApplication::exec();
        }
        else
            result = kStandInErrNoSignals;
    }
    bus.interface()->unregisterService(busName);
    bus.unregisterObject(path);
    return result;
}
