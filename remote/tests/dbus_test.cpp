// SPDX-License-Identifier: MIT
// The D-Bus interface on a private session bus that the test starts: activation by the service
// file, each method, and the signal when an alarm rings.
#include "program_fixture.h"
#include "tikko/remote/alarms_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QSignalSpy>
#include <QStandardPaths>

namespace tikko::testing {
namespace {

const QString Interface = QStringLiteral("com.example.tikko.TikkoClock.Alarms");

class SessionBus : public ProgramFixture {
public:
    std::unique_ptr<QProcess> daemon;
    QString address;

    void SetUp() override {
        ProgramFixture::SetUp();
        const QString dbusDaemon = QStandardPaths::findExecutable("dbus-daemon");
        if (dbusDaemon.isEmpty())
            GTEST_SKIP() << "no dbus-daemon (scripts/install-deps.sh installs it)";
        const QString services = folder.filePath("services");
        QDir().mkpath(services);
        // The service file as installed, with this test's copy of the program.
        QFile service(services + "/" + ServiceName + ".service");
        ASSERT_TRUE(service.open(QIODevice::WriteOnly));
        service.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
                          .arg(QLatin1String(ServiceName), program)
                          .toUtf8());
        service.close();
        const QString socket = runtime.filePath("bus");
        QFile config(folder.filePath("bus.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1</listen>"
                           "<servicedir>%2</servicedir><policy context=\"default\">"
                           "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                .arg(socket, services)
                .toUtf8());
        config.close();
        address = "unix:path=" + socket;
        // The bus hands its environment to the programs it starts.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        daemon = std::make_unique<QProcess>();
        daemon->setProcessEnvironment(environment);
        daemon->start(dbusDaemon,
                      {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        ASSERT_TRUE(daemon->waitForReadyRead(10000)) << daemon->readAllStandardError().data();
    }

    void TearDown() override {
        if (!daemon)
            return;
        run({"quit"}); // an activated program is ended as a user would end it
        daemon->terminate();
        daemon->waitForFinished(5000);
        QDBusConnection::disconnectFromBus("test");
    }
};

TEST_F(SessionBus, ACallStartsTheProgramAndEachMethodWorks) {
    QDBusConnection bus = QDBusConnection::connectToBus(address, "test");
    ASSERT_TRUE(bus.isConnected());
    // Nothing runs: the bus starts the program from the service file.
    QDBusMessage list = QDBusMessage::createMethodCall(ServiceName, ServicePath, Interface, "List");
    const QDBusMessage first = bus.call(list, QDBus::Block, 30000);
    ASSERT_EQ(first.type(), QDBusMessage::ReplyMessage) << first.errorMessage().toStdString();

    QDBusInterface alarms(ServiceName, ServicePath, Interface, bus);
    ASSERT_TRUE(alarms.isValid());
    QSignalSpy fired(&alarms, SIGNAL(Fired(QString, QString, QString)));
    QDBusReply<int> position =
        alarms.call("Add", "2099-01-01 08:00", "sound", "", "", "yearly:01-01", "0");
    ASSERT_TRUE(position.isValid()) << position.error().message().toStdString();
    EXPECT_EQ(position.value(), 1);
    position = alarms.call("Add", "+0m", "text", "到点了", "", "", "0");
    ASSERT_TRUE(position.isValid()) << position.error().message().toStdString();
    EXPECT_EQ(position.value(), 2);
    EXPECT_EQ(storeLines().size(), 2);

    // The alarm of the present minute rings within a check or two.
    ASSERT_TRUE(fired.wait(15000));
    EXPECT_EQ(fired.first().at(1).toString(), "文本框提醒");
    EXPECT_EQ(fired.first().at(2).toString(), "到点了");

    const QDBusMessage listed = bus.call(list);
    const auto entries = qdbus_cast<QList<QVariantMap>>(listed.arguments().value(0));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].value("repeat").toString(), "yearly:01-01");
    EXPECT_EQ(entries[0].value("time").toString(), "2099-01-01 08:00:00");

    // Bad input is an error with its reason, and changes nothing.
    const QByteArray before = storeBytes();
    QDBusMessage refused = alarms.call("Remove", 5);
    EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    refused = alarms.call("Add", "+1h", "loud", "", "", "", "");
    EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    refused = alarms.call("Add", "+1h", "action", "", "run:relative/path", "", "");
    EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(storeBytes(), before);

    EXPECT_EQ(alarms.call("Show").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(alarms.call("Remove", 1).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(alarms.call("Add", "+1h", "", "", "", "", "").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(alarms.call("RemoveAll").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(storeBytes(), encodeStore(QStringList{}));

    EXPECT_EQ(alarms.call("Quit").type(), QDBusMessage::ReplyMessage);
    QElapsedTimer timer;
    timer.start();
    while (bus.interface()->isServiceRegistered(ServiceName) && timer.elapsed() < 10000)
        QThread::msleep(50);
    EXPECT_FALSE(bus.interface()->isServiceRegistered(ServiceName).value());
}

} // namespace
} // namespace tikko::testing
