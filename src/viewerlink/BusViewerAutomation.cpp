#include "viewerlink/BusViewerAutomation.h"

#include "base/ResultCodes.h"

#include <QAtomicInteger>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace
{
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kBusInterface = QStringLiteral("org.freedesktop.DBus");

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsNoReply(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    return name == QStringLiteral("org.freedesktop.DBus.Error.NoReply") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.Timeout") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.TimedOut");
}

bool IsGone(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    return name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name == QStringLiteral("org.freedesktop.DBus.Error.Disconnected");
}

// One blocking call that runs no event loop, so the window is not re-entered while it waits.
QDBusMessage CallBus(QDBusConnection& connection, const QString& method, const QVariantList& args,
                     int timeoutMs)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface, method);
    message.setArguments(args);
    return connection.call(message, QDBus::Block, timeoutMs);
}

class CBusViewerDispatch final : public IViewerDispatch
{
public:
    CBusViewerDispatch(QDBusConnection connection, QString owner, QString path, QString interface,
                       int timeoutMs)
        : m_connection(std::move(connection)), m_strOwner(std::move(owner)), m_strPath(std::move(path)),
          m_strInterface(std::move(interface)), m_nTimeoutMs(timeoutMs)
    {
    }

    std::int32_t Invoke(std::int32_t dispId, std::span<std::int32_t> args, std::int32_t& result) override
    {
        if (!m_connection.isConnected())
            return kViewerErrGone;
        QDBusMessage message =
            QDBusMessage::createMethodCall(m_strOwner, m_strPath, m_strInterface, QStringLiteral("Invoke"));
        message.setAutoStartService(false);
        const QList<int> values(args.begin(), args.end());
        message.setArguments({QVariant::fromValue(int{dispId}), QVariant::fromValue(values)});
        const QDBusMessage reply = m_connection.call(message, QDBus::Block, m_nTimeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage)
            return IsNoReply(reply) ? kViewerErrCallTimeout
                   : IsGone(reply)  ? kViewerErrGone
                                    : kViewerErrCallFailed;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QStringLiteral("iai"))
            return kViewerErrBadReply;
        const QVariantList out = reply.arguments();
        QList<int> returned;
        if (out[1].canConvert<QDBusArgument>())
            out[1].value<QDBusArgument>() >> returned;
        else
            returned = out[1].value<QList<int>>();
        if (returned.size() != static_cast<qsizetype>(args.size()))
            return kViewerErrBadReply;
        for (std::size_t i = 0; i < args.size(); ++i)
            args[i] = returned[static_cast<qsizetype>(i)];
        result = out[0].toInt();
        return kOk;
    }

private:
    QDBusConnection m_connection;
    QString m_strOwner; // the unique name of the viewer's process
    QString m_strPath;
    QString m_strInterface;
    int m_nTimeoutMs;
};

class CBusViewerAutomation final : public IViewerAutomation
{
public:
    explicit CBusViewerAutomation(BusViewerOptions options)
        : m_options(std::move(options)), m_connection(QStringLiteral("")),
          m_strConnectionName(QStringLiteral("trackplay-viewerlink-%1").arg(NextConnectionNumber()))
    {
    }

    ~CBusViewerAutomation() override { Disconnect(); }
    CBusViewerAutomation(const CBusViewerAutomation&) = delete;
    CBusViewerAutomation& operator=(const CBusViewerAutomation&) = delete;

    std::int32_t FindViewerClass(std::string_view progId) override
    {
        if (!EnsureConnected())
            return kViewerErrNoBus;
        const QString name = ToQString(progId);
        const QDBusMessage owned =
            CallBus(m_connection, QStringLiteral("NameHasOwner"), {name}, m_options.timeoutMs);
        if (owned.type() != QDBusMessage::ReplyMessage)
            return owned.errorName() == QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")
                       ? kViewerErrUnknownName
                       : kViewerErrBusNoAnswer;
        if (owned.arguments().value(0).toBool())
            return kOk;
        const QDBusMessage activatable =
            CallBus(m_connection, QStringLiteral("ListActivatableNames"), {}, m_options.timeoutMs);
        if (activatable.type() != QDBusMessage::ReplyMessage)
            return kViewerErrBusNoAnswer;
        return activatable.arguments().value(0).toStringList().contains(name) ? kOk : kViewerErrUnknownName;
    }

    std::int32_t CreateViewer(std::string_view progId, std::unique_ptr<IViewerDispatch>& viewer) override
    {
        viewer.reset();
        if (!EnsureConnected())
            return kViewerErrActivation;
        const QString name = ToQString(progId);
        QDBusMessage owner =
            CallBus(m_connection, QStringLiteral("GetNameOwner"), {name}, m_options.timeoutMs);
        if (owner.type() != QDBusMessage::ReplyMessage)
        {
            const QDBusMessage started =
                CallBus(m_connection, QStringLiteral("StartServiceByName"), {name, QVariant::fromValue(0u)},
                        m_options.activationTimeoutMs);
            if (started.type() != QDBusMessage::ReplyMessage)
                return kViewerErrActivation;
            owner = CallBus(m_connection, QStringLiteral("GetNameOwner"), {name}, m_options.timeoutMs);
            if (owner.type() != QDBusMessage::ReplyMessage)
                return kViewerErrActivation; // started, but gone again at once
        }
        const QString uniqueName = owner.arguments().value(0).toString();
        const QString path = ToQString(ViewerObjectPath(progId));

        QDBusMessage introspect = QDBusMessage::createMethodCall(
            uniqueName, path, QStringLiteral("org.freedesktop.DBus.Introspectable"),
            QStringLiteral("Introspect"));
        introspect.setAutoStartService(false);
        const QDBusMessage reply = m_connection.call(introspect, QDBus::Block, m_options.timeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage)
            return IsNoReply(reply) ? kViewerErrNoAnswer : kViewerErrNoObject;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return kViewerErrNoAnswer;
        const QString xml = reply.arguments().value(0).toString();
        if (!xml.contains(QStringLiteral("<interface name=\"%1\"").arg(name)))
            return kViewerErrNoInterface;
        viewer =
            std::make_unique<CBusViewerDispatch>(m_connection, uniqueName, path, name, m_options.timeoutMs);
        return kOk;
    }

private:
    static int NextConnectionNumber()
    {
        static QAtomicInteger<int> counter;
        return counter.fetchAndAddRelaxed(1);
    }

    // Opens the connection, or opens it again after the bus went away.
    bool EnsureConnected()
    {
        if (m_connection.isConnected())
            return true;
        Disconnect();
        m_connection = m_options.busAddress.empty()
                           ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_strConnectionName)
                           : QDBusConnection::connectToBus(QString::fromStdString(m_options.busAddress),
                                                           m_strConnectionName);
        m_bOpened = true;
        return m_connection.isConnected();
    }

    void Disconnect()
    {
        if (!m_bOpened)
            return;
        m_connection = QDBusConnection(QStringLiteral(""));
        QDBusConnection::disconnectFromBus(m_strConnectionName);
        m_bOpened = false;
    }

    BusViewerOptions m_options;
    QDBusConnection m_connection;
    QString m_strConnectionName;
    bool m_bOpened = false;
};
} // namespace

std::string ViewerObjectPath(std::string_view progId)
{
    std::string path = "/";
    for (char c : progId)
        path += c == '.' ? '/' : c;
    return path;
}

std::unique_ptr<IViewerAutomation> CreateBusViewerAutomation(const BusViewerOptions& options)
{
    return std::make_unique<CBusViewerAutomation>(options);
}
