// SPDX-License-Identifier: MIT
#include "recording_system_actions.h"
#include "tikko/shell/advertisement.h"

#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHash>
#include <QNetworkProxy>
#include <QPixmap>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tikko {
namespace {

QByteArray response(int status, const QByteArray& type, const QByteArray& body,
                    bool withLength = true) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " X\r\nConnection: close\r\n";
    if (!type.isEmpty())
        head += "Content-Type: " + type + "\r\n";
    if (withLength)
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

QByteArray png(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A web server on 127.0.0.1 that answers each path as the test says, or never answers
// paths it does not know.
class TestServer {
public:
    TestServer() {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }
    void serve(const QByteArray& path, QByteArray raw) { m_answers[path] = std::move(raw); }
    QUrl url(const QByteArray& path, const QString& host = QStringLiteral("127.0.0.1")) const {
        return QUrl(QStringLiteral("http://%1:%2").arg(host).arg(m_server.serverPort()) +
                    QString::fromLatin1(path));
    }
    const QByteArrayList& requests() const { return m_requests; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& pending = m_pending[socket];
                pending += socket->readAll();
                if (!pending.contains("\r\n\r\n"))
                    return;
                const QByteArray path = pending.split(' ').value(1);
                m_requests << path;
                const auto answer = m_answers.constFind(path);
                if (answer == m_answers.constEnd())
                    return; // silent: the connection stays open, unanswered
                socket->write(*answer);
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_answers;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QByteArrayList m_requests;
};

bool noDialogShown() {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog*>(widget) && widget->isVisible())
            return false;
    }
    return true;
}

class AdvertisementTest : public ::testing::Test {
protected:
    TestServer server;
    RecordingSystemActions actions;
    QWidget pBox; // the panel the browser lies in
    AdvertisementBrowser* web = nullptr;
    std::unique_ptr<QSignalSpy> shown, failed;

    void SetUp() override {
        pBox.resize(420, 300);
        pBox.show();
        fresh();
    }
    void fresh(const AdvertisementLimits& limits = {}) {
        delete web;
        web = new AdvertisementBrowser(&pBox);
        web->setGeometry(0, 0, 420, 300);
        web->show();
        web->setSystemActions(&actions);
        web->loader().setLimits(limits);
        // The test's server is local; no proxy of the machine may stand between.
        web->loader().network().setProxy(QNetworkProxy::NoProxy);
        shown = std::make_unique<QSignalSpy>(web, &AdvertisementBrowser::pageShown);
        failed = std::make_unique<QSignalSpy>(web, &AdvertisementBrowser::pageFailed);
    }
    // Loads the address and waits for the page or its failure.
    bool load(const QString& address) {
        web->load(address);
        return QTest::qWaitFor([&] { return shown->count() + failed->count() > 0; }, 5000);
    }
    AdvertisementFailure failure() const {
        return failed->isEmpty() ? static_cast<AdvertisementFailure>(-1)
                                 : failed->first().first().value<AdvertisementFailure>();
    }
};

TEST_F(AdvertisementTest, APageThatArrivesIsShownOnce) {
    server.serve("/ad4.asp", response(200, "text/html; charset=utf-8",
                                      "<html><body><p>闹钟好帮手</p></body></html>"));
    ASSERT_TRUE(load(server.url("/ad4.asp").toString()));
    EXPECT_EQ(shown->count(), 1);
    EXPECT_TRUE(failed->isEmpty());
    EXPECT_TRUE(web->isVisible());
    EXPECT_TRUE(web->toPlainText().contains(QStringLiteral("闹钟好帮手")));
    EXPECT_EQ(web->pageUrl(), server.url("/ad4.asp"));
    EXPECT_EQ(server.requests(), QByteArrayList{"/ad4.asp"});
    EXPECT_TRUE(noDialogShown());
}

TEST_F(AdvertisementTest, APageInAChineseCharsetIsDecoded) {
    QStringEncoder gbk("GBK");
    if (!gbk.isValid())
        GTEST_SKIP() << "this Qt has no GBK";
    const QByteArray body = gbk.encode(QStringLiteral("<p>闹钟好帮手</p>"));
    server.serve("/gbk", response(200, "text/html; charset=GBK", body));
    server.serve("/meta", response(200, "text/html",
                                   "<html><head><meta http-equiv=\"Content-Type\" "
                                   "content=\"text/html; charset=gbk\"></head><body>" +
                                       body + "</body></html>"));
    ASSERT_TRUE(load(server.url("/gbk").toString()));
    EXPECT_TRUE(web->toPlainText().contains(QStringLiteral("闹钟好帮手")));
    fresh();
    ASSERT_TRUE(load(server.url("/meta").toString()));
    EXPECT_TRUE(web->toPlainText().contains(QStringLiteral("闹钟好帮手")));
}

TEST_F(AdvertisementTest, AFailedPageHidesTheBrowserSilentlyAndLeavesThePanel) {
    const QByteArray page = "<p>ad</p>";
    const QByteArray big(300 * 1024, 'x');
    server.serve("/missing", response(404, "text/html", page));
    server.serve("/broken", response(500, "text/html", page));
    server.serve("/text", response(200, "text/plain", page));
    server.serve("/untyped", response(200, "", page));
    server.serve("/big", response(200, "text/html", big));
    server.serve("/big-unannounced", response(200, "text/html", big, false));
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 refusedPort = closed.serverPort();
    closed.close();

    AdvertisementLimits quick;
    quick.pageTimeoutMs = 300; // the server never answers "/silent"
    const struct {
        QString address;
        AdvertisementFailure failure;
    } cases[] = {
        {server.url("/missing").toString(), AdvertisementFailure::HttpStatus},
        {server.url("/broken").toString(), AdvertisementFailure::HttpStatus},
        {server.url("/text").toString(), AdvertisementFailure::NotHtml},
        {server.url("/untyped").toString(), AdvertisementFailure::NotHtml},
        {server.url("/big").toString(), AdvertisementFailure::TooLarge},
        {server.url("/big-unannounced").toString(), AdvertisementFailure::TooLarge},
        {server.url("/silent").toString(), AdvertisementFailure::Timeout},
        {QStringLiteral("http://127.0.0.1:%1/ad4.asp").arg(refusedPort),
         AdvertisementFailure::Network},
        {QStringLiteral("file:///etc/passwd"), AdvertisementFailure::NotWebAddress},
        {QStringLiteral("ftp://127.0.0.1/ad4.asp"), AdvertisementFailure::NotWebAddress},
        {QString(), AdvertisementFailure::NotWebAddress},
    };
    for (const auto& c : cases) {
        fresh(quick);
        const QRect panel = pBox.geometry();
        ASSERT_TRUE(load(c.address)) << c.address.toStdString();
        EXPECT_EQ(failure(), c.failure) << c.address.toStdString();
        EXPECT_TRUE(shown->isEmpty()) << c.address.toStdString();
        EXPECT_TRUE(web->isHidden()) << c.address.toStdString();
        EXPECT_TRUE(pBox.isVisible());
        EXPECT_EQ(pBox.geometry(), panel);
        EXPECT_TRUE(noDialogShown()) << c.address.toStdString();
    }
}

TEST_F(AdvertisementTest, ALinkOpensInTheSystemBrowserAndNeverInThePanel) {
    server.serve("/ad4.asp",
                 response(200, "text/html",
                          "<p style=\"font-size:32px\"><a href=\"detail.asp?id=3\">查看详情</a></p>"
                          "<p><a href=\"#end\">end</a></p><a name=\"end\"></a>"));
    ASSERT_TRUE(load(server.url("/ad4.asp").toString()));
    const QString before = web->toHtml();

    int linkAt = -1;
    for (QTextBlock block = web->document()->begin(); block.isValid() && linkAt < 0;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor()) {
                linkAt = it.fragment().position();
                break;
            }
        }
    }
    ASSERT_GE(linkAt, 0);
    QTextCursor cursor(web->document());
    cursor.setPosition(linkAt + 1);
    const QRect rect = web->cursorRect(cursor);
    const QPoint onLink(rect.left() - 4, rect.center().y());
    QTest::mouseClick(web->viewport(), Qt::LeftButton, {}, onLink);

    EXPECT_EQ(actions.calls(),
              (std::vector<ActionCall>{{ActionKind::OpenInBrowser,
                                        server.url("/detail.asp?id=3").toString().toStdString()}}));
    EXPECT_EQ(web->toHtml(), before);
    EXPECT_TRUE(web->source().isEmpty());

    actions.clearCalls();
    for (const char* link : {"javascript:alert(1)", "file:///etc/passwd", "mailto:a@b.example",
                             "ftp://127.0.0.1/x", "#end", "data:text/html,<p>x</p>"})
        emit web->anchorClicked(QUrl(QLatin1String(link)));
    EXPECT_TRUE(actions.calls().empty());
    emit web->anchorClicked(QUrl("https://shop.example.org/a b"));
    EXPECT_EQ(actions.calls(), (std::vector<ActionCall>{
                                   {ActionKind::OpenInBrowser, "https://shop.example.org/a%20b"}}));
    EXPECT_EQ(server.requests(), QByteArrayList{"/ad4.asp"});
}

// Notes every FIFO that someone opens for reading, and lets that reader go on (with an
// empty file) instead of blocking for good.
class FifoWatch {
public:
    explicit FifoWatch(const QStringList& fifos)
        : m_thread([this, fifos] {
            while (!m_stop) {
                for (const QString& fifo : fifos) {
                    // Succeeds only while a reader has the FIFO open.
                    const int fd = ::open(QFile::encodeName(fifo).constData(),
                                          O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd >= 0) {
                        ::close(fd);
                        const std::lock_guard lock(m_mutex);
                        m_opened << QFileInfo(fifo).fileName();
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }) {}
    ~FifoWatch() { stop(); }
    QStringList stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        const std::lock_guard lock(m_mutex);
        return m_opened;
    }

private:
    std::atomic<bool> m_stop = false;
    std::mutex m_mutex;
    QStringList m_opened;
    std::thread m_thread;
};

TEST_F(AdvertisementTest, NoFileOfThisMachineIsOpenedWhateverThePageNames) {
    QTemporaryDir dir;
    // Were it read, the panel would show red.
    const QString secret = dir.filePath("secret.png");
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(png(40, 40));
    }
    QStringList fifos;
    for (const char* name : {"img", "file-url", "table", "cell-css", "body", "sheet", "import"}) {
        fifos << dir.filePath(QLatin1String(name));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifos.last()).constData(), 0600), 0);
    }
    const QUrl dataUrl("data:image/png;base64," + png(40, 40).toBase64());
    const QString html =
        QStringLiteral("<html><head><link rel=\"stylesheet\" href=\"%6\">"
                       "<style>@import url(%7);</style></head><body background=\"%5\">"
                       "<p><img src=\"%8\"><img src=\"%1\"><img src=\"file://%2\">"
                       "<img src=\"%9\"></p><table background=\"%3\"><tr>"
                       "<td style=\"background-image: url(%4)\">x</td></tr></table>"
                       "</body></html>")
            .arg(fifos[0], fifos[1], fifos[2], fifos[3], fifos[4], fifos[5], fifos[6], secret,
                 QString::fromLatin1(dataUrl.toEncoded()));
    server.serve("/ad4.asp", response(200, "text/html", html.toUtf8()));

    FifoWatch watch(fifos);
    ASSERT_TRUE(load(server.url("/ad4.asp").toString()));
    EXPECT_TRUE(web->isVisible());
    const QImage shown = web->grab().toImage(); // lays out and paints the page
    EXPECT_EQ(watch.stop().join(", ").toStdString(), "") << "FIFOs opened";
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QColor pixel = shown.pixelColor(x, y);
            ASSERT_FALSE(pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60)
                << "red at " << x << "," << y;
        }
    }
    // A path names a picture of the page's own server.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() >= 3; }, 5000));
    EXPECT_TRUE(server.requests().contains(QFile::encodeName(secret)));
    EXPECT_TRUE(server.requests().contains(QFile::encodeName(fifos[0])));
}

TEST_F(AdvertisementTest, APageTooCostlyToLayOutIsNotShown) {
    // 25,000 nested list items took the layout 20 s, with every alarm waiting.
    QByteArray nested;
    for (int i = 0; i < 25000; ++i)
        nested += "<ul><li>";
    server.serve("/nested", response(200, "text/html", nested));
    QByteArray tables = "<p>x</p>";
    for (int i = 0; i < 16; ++i)
        tables = "<table><tr><td>" + tables + "</td></tr></table>";
    server.serve("/tables", response(200, "text/html", tables));
    for (const QByteArray& path : {QByteArray("/nested"), QByteArray("/tables")}) {
        fresh();
        ASSERT_TRUE(load(server.url(path).toString()));
        EXPECT_EQ(failure(), AdvertisementFailure::TooComplex) << path.constData();
        EXPECT_TRUE(web->isHidden());
    }
}

TEST_F(AdvertisementTest, PicturesComeOnlyFromThePagesHostAndWithinBounds) {
    const QString otherHost = server.url("/other.png", QStringLiteral("localhost")).toString();
    server.serve("/ad4.asp", response(200, "text/html",
                                      "<p><img src=\"pic.png\"><img src=\"" + otherHost.toUtf8() +
                                          "\"><img src=\"/big.png\"><img src=\"/wide.png\">"
                                          "<img src=\"/moved.png\"><img src=\"/fake.png\"></p>"));
    server.serve("/pic.png", response(200, "image/png", png(200, 120)));
    server.serve("/other.png", response(200, "image/png", png(10, 10)));
    server.serve("/big.png", response(200, "image/png", QByteArray(8 * 1024, 'x')));
    server.serve("/wide.png", response(200, "image/png", png(3000, 2)));
    server.serve("/moved.png",
                 "HTTP/1.1 302 Found\r\nLocation: /pic.png\r\nContent-Length: 0\r\n\r\n");
    server.serve("/fake.png", response(200, "image/png", "<svg/>"));
    AdvertisementLimits limits;
    limits.maxImageBytes = 4 * 1024;
    fresh(limits);
    QSignalSpy pictures(web, &AdvertisementBrowser::imageShown);
    QSignalSpy dropped(&web->loader(), &AdvertisementLoader::imageDropped);
    ASSERT_TRUE(load(server.url("/ad4.asp").toString()));
    const qreal heightBefore = web->document()->size().height();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures.count() + dropped.count() == 5; }, 5000));

    EXPECT_EQ(pictures.count(), 1);
    EXPECT_EQ(pictures.first().first().toUrl(), server.url("/pic.png"));
    const QVariant shownPicture =
        web->document()->resource(QTextDocument::ImageResource, QUrl("pic.png"));
    EXPECT_EQ(shownPicture.value<QImage>().size(), QSize(200, 120));
    EXPECT_GT(web->document()->size().height(), heightBefore + 60);
    EXPECT_FALSE(server.requests().contains("/other.png"));
}

TEST_F(AdvertisementTest, ARightClickOpensNoMenu) {
    // A plain text browser opens Qt's own English menu here.
    QTextBrowser plain(&pBox);
    plain.setGeometry(0, 0, 200, 100);
    plain.show();
    QContextMenuEvent plainClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 plain.viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(plain.viewport(), &plainClick);
    ASSERT_TRUE(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();

    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            web->viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(web->viewport(), &click);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_EQ(web->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST(AdvertisementRulesTest, LinksPicturesAndTypes) {
    const QUrl page("http://ads.example.com/dir/ad4.asp");
    EXPECT_EQ(advertisementLinkTarget(page, QUrl("x.asp?a=1")),
              QUrl("http://ads.example.com/dir/x.asp?a=1"));
    EXPECT_EQ(advertisementLinkTarget(page, QUrl("HTTPS://Shop.example.org/")),
              QUrl("https://shop.example.org/"));
    for (const char* refused : {"javascript:alert(1)", "file:///etc/passwd", "mailto:a@b.c",
                                "ftp://h/x", "http://", "data:text/html,x"})
        EXPECT_TRUE(advertisementLinkTarget(page, QUrl(refused)).isEmpty()) << refused;

    EXPECT_TRUE(advertisementImageAllowed(page, QUrl("https://ADS.example.com/p.png")));
    EXPECT_FALSE(advertisementImageAllowed(page, QUrl("http://cdn.example.com/p.png")));
    EXPECT_FALSE(advertisementImageAllowed(page, QUrl("file:///tmp/p.png")));

    EXPECT_TRUE(isHtmlContentType("text/html"));
    EXPECT_TRUE(isHtmlContentType(" Text/HTML ; charset=gb2312"));
    for (const char* type : {"", "text/plain", "text/htmlx", "application/octet-stream"})
        EXPECT_FALSE(isHtmlContentType(type)) << type;
}

TEST(AdvertisementRulesTest, APageIsMeasuredAsTheLayoutWillSeeIt) {
    const auto measure = [](const char* html) {
        return measureAdvertisementPage(QString::fromUtf8(html));
    };
    EXPECT_EQ(measure("<p>a</p><br><img src=x>").elements, 3);
    // End tags that may be left out close what HTML closes; nesting counts what stays open.
    EXPECT_EQ(measure("<ul><li>a<li>b<li>c</ul>").depth, 2);
    EXPECT_EQ(measure("<ul><li><ul><li>x</ul></ul>").depth, 4);
    EXPECT_EQ(measure("<p>a<p>b<p>c").depth, 1);
    EXPECT_EQ(measure("<b><i><u>x").depth, 3);
    const AdvertisementPage tables =
        measure("<table><tr><td colspan=30>x<tr><td><table><tr><td>y</table><tr><td>z</table>");
    EXPECT_EQ(tables.tableDepth, 2);
    EXPECT_EQ(tables.tableCells, 3 * 30 + 1);
    // Blanks collapse; an entity is one character, and &nbsp; joins a word.
    const AdvertisementPage text = measure("a   b\n\n c&nbsp;&amp;d");
    EXPECT_EQ(text.textChars, 8);
    EXPECT_EQ(text.longestWord, 4);
    EXPECT_EQ(measure("闹钟好帮手闹钟好帮手").longestWord, 0);
    EXPECT_EQ(measure("<style>p { }</style><p style='x'>").styleChars, 5);
    // Scripts and comments are dropped; nothing hides in them from the count or the layout.
    const AdvertisementPage stripped = measure("<script>var a = '<td>';</script>x<!-- <td> -->y");
    EXPECT_EQ(stripped.html, "xy");
    EXPECT_EQ(stripped.elements, 0);
    // Quotes count only around a whole value, blanks may follow "<", as Qt reads tags.
    EXPECT_EQ(measure("<b title=x'><td><td><td>'>").elements, 4);
    EXPECT_EQ(measure("< td>< td>").elements, 2);

    AdvertisementLimits limits;
    limits.maxElements = 2;
    EXPECT_TRUE(measure("<p><p>").fits(limits));
    EXPECT_FALSE(measure("<p><p><p>").fits(limits));
    limits = {};
    limits.maxWordChars = 3;
    EXPECT_TRUE(measure("abc abc").fits(limits));
    EXPECT_FALSE(measure("ab<b>cd</b>").fits(limits));
}

} // namespace
} // namespace tikko
