// SPDX-License-Identifier: MIT
#include "tikko/shell/advertisement.h"

#include "tikko/guarded.h"
#include "tikko/system_actions.h"

#include <QBuffer>
#include <QImageReader>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace tikko {

namespace {

Q_LOGGING_CATEGORY(lcAdvertisement, "tikko.advertisement", QtInfoMsg)

bool isWebUrl(const QUrl& url) {
    // QUrl keeps schemes in lower case.
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// The decoders a picture may reach: the common web formats, nothing that could refer to
// further files (as SVG can).
bool isPlainImageFormat(const QByteArray& format) {
    for (const char* plain : {"png", "jpeg", "jpg", "gif", "bmp"}) {
        if (format == plain)
            return true;
    }
    return false;
}

QByteArray mediaType(const QByteArray& contentType) {
    const qsizetype end = contentType.indexOf(';');
    return contentType.left(end < 0 ? contentType.size() : end).trimmed().toLower();
}

QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        if (part.toLower().startsWith("charset="))
            return part.mid(8).trimmed().replace('"', QByteArray()).replace('\'', QByteArray());
    }
    return {};
}

// The header's charset first, then the page's own byte order mark or meta tag, then UTF-8.
QString decodePage(const QByteArray& body, const QByteArray& contentType) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    if (decoder.isValid())
        return decoder.decode(body);
    return QString::fromUtf8(body);
}

QImage decodeImage(const QByteArray& bytes, int maxSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!isPlainImageFormat(reader.format().toLower()))
        return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSide || size.height() > maxSide)
        return {};
    reader.setAllocationLimit(32); // megabytes; the side bound keeps a picture far below
    return reader.read();
}

struct FetchBounds {
    int timeoutMs;
    qint64 maxBytes;
    int maxRedirects; // 0: a redirect counts as a failed answer
};

struct Fetched {
    std::optional<AdvertisementFailure> failure;
    QUrl url; // after redirects
    QByteArray contentType;
    QByteArray body;
};

// What a complete answer comes to: anything but 200 is an HTTP failure, then any error of
// the transfer a network failure.
void settle(const QNetworkReply& reply, Fetched& answer) {
    if (!answer.failure) {
        const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status.isValid() && status.toInt() != 200)
            answer.failure = AdvertisementFailure::HttpStatus;
        else if (reply.error() != QNetworkReply::NoError)
            answer.failure = AdvertisementFailure::Network;
    }
    answer.url = reply.url();
    answer.contentType = reply.rawHeader("Content-Type");
    if (answer.failure)
        qCDebug(lcAdvertisement) << "not taken:" << reply.url() << reply.errorString();
}

// One GET within a deadline for the whole answer and a bound on its body; done runs once,
// with the context, when the answer is complete or given up.
void fetch(QNetworkAccessManager& network, const QUrl& url, const FetchBounds& bounds,
           QObject* context, std::function<void(const Fetched&)> done) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         bounds.maxRedirects > 0 ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                 : QNetworkRequest::ManualRedirectPolicy);
    request.setMaximumRedirectsAllowed(bounds.maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("TikkoClock/2.9"));
    QNetworkReply* reply = network.get(request);

    auto state = std::make_shared<Fetched>();
    const auto stop = [reply, state](AdvertisementFailure failure) {
        if (!state->failure)
            state->failure = failure;
        reply->abort(); // finishes the reply at once
    };
    // Reads what fits and stops the answer as soon as it is too large.
    const auto take = [reply, state, bounds, stop] {
        state->body += reply->read(bounds.maxBytes + 1 - state->body.size());
        if (state->body.size() > bounds.maxBytes)
            stop(AdvertisementFailure::TooLarge);
    };

    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [stop] {
        guarded(lcAdvertisement, "deadline", [&] { stop(AdvertisementFailure::Timeout); });
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, bounds, stop] {
        guarded(lcAdvertisement, "headers", [&] {
            bool known = false;
            const qint64 length =
                reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
            if (known && length > bounds.maxBytes)
                stop(AdvertisementFailure::TooLarge);
        });
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [state, take] {
        guarded(lcAdvertisement, "body", [&] {
            if (!state->failure)
                take();
        });
    });
    const auto finished = [reply, state, take, deadline, done = std::move(done)] {
        guarded(lcAdvertisement, "answer", [&] {
            deadline->stop();
            reply->deleteLater();
            if (!state->failure)
                take();
            settle(*reply, *state);
            done(*state);
        });
    };
    QObject::connect(reply, &QNetworkReply::finished, context, finished);
    deadline->start(bounds.timeoutMs);
}

} // namespace

QUrl advertisementLinkTarget(const QUrl& page, const QUrl& link) {
    const QUrl target = page.resolved(link);
    return isWebUrl(target) ? target : QUrl();
}

bool advertisementImageAllowed(const QUrl& page, const QUrl& image) {
    return isWebUrl(page) && isWebUrl(image) &&
           page.host().compare(image.host(), Qt::CaseInsensitive) == 0;
}

bool isHtmlContentType(const QByteArray& contentType) {
    return mediaType(contentType) == "text/html";
}

AdvertisementLoader::AdvertisementLoader(QObject* parent)
    : QObject(parent) {}

void AdvertisementLoader::load(const QString& address) {
    if (m_started)
        return;
    m_started = true;
    const QUrl url(QString::fromStdString(webAddress(address.trimmed().toStdString())));
    if (!isWebUrl(url)) {
        emit failed(AdvertisementFailure::NotWebAddress);
        return;
    }
    const FetchBounds bounds{m_limits.pageTimeoutMs, m_limits.maxPageBytes, m_limits.maxRedirects};
    fetch(m_network, url, bounds, this, [this](const Fetched& answer) {
        if (answer.failure) {
            emit failed(*answer.failure);
            return;
        }
        if (!isHtmlContentType(answer.contentType)) {
            emit failed(AdvertisementFailure::NotHtml);
            return;
        }
        m_pageUrl = answer.url;
        emit pageArrived(answer.url, decodePage(answer.body, answer.contentType));
    });
}

bool AdvertisementLoader::loadImage(const QUrl& image) {
    if (!advertisementImageAllowed(m_pageUrl, image) || m_requestedImages.contains(image) ||
        m_requestedImages.size() >= m_limits.maxImages)
        return false;
    m_requestedImages.insert(image);
    const FetchBounds bounds{m_limits.imageTimeoutMs, m_limits.maxImageBytes, 0};
    fetch(m_network, image, bounds, this, [this, image](const Fetched& answer) {
        const QImage decoded =
            answer.failure ? QImage() : decodeImage(answer.body, m_limits.maxImageSide);
        if (decoded.isNull())
            emit imageDropped(image);
        else
            emit imageArrived(image, decoded);
    });
    return true;
}

AdvertisementBrowser::AdvertisementBrowser(QWidget* parent)
    : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    // Qt's own menu would be English and offer "Copy Link Location" for the page's links.
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        guarded(lcAdvertisement, "link", [&] { openLink(link); });
    });
    connect(&m_loader, &AdvertisementLoader::pageArrived, this,
            [this](const QUrl& url, const QString& html) {
                guarded(lcAdvertisement, "page", [&] { showPage(url, html); });
            });
    connect(&m_loader, &AdvertisementLoader::imageArrived, this,
            [this](const QUrl& url, const QImage& image) {
                guarded(lcAdvertisement, "picture", [&] { showImage(url, image); });
            });
    connect(&m_loader, &AdvertisementLoader::failed, this, [this](AdvertisementFailure failure) {
        guarded(lcAdvertisement, "failure", [&] { fail(failure); });
    });
}

void AdvertisementBrowser::load(const QString& address) {
    m_loader.load(address);
}

QVariant AdvertisementBrowser::loadResource(int, const QUrl&) {
    // An empty answer, not none: given none, the document would read local files itself.
    return QVariant(QByteArray());
}

void AdvertisementBrowser::showPage(const QUrl& url, const QString& html) {
    m_pageUrl = url;
    // Relative pictures resolve against the page, as the loader fetched them.
    document()->setBaseUrl(url);
    setHtml(html);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                m_loader.loadImage(url.resolved(QUrl(format.toImageFormat().name())));
        }
    }
    emit pageShown();
}

void AdvertisementBrowser::showImage(const QUrl& url, const QImage& image) {
    document()->addResource(QTextDocument::ImageResource, url, image);
    document()->markContentsDirty(0, document()->characterCount());
    viewport()->update();
    emit imageShown(url);
}

void AdvertisementBrowser::fail(AdvertisementFailure failure) {
    qCDebug(lcAdvertisement) << "advertisement hidden:" << static_cast<int>(failure);
    hide();
    emit pageFailed(failure);
}

void AdvertisementBrowser::openLink(const QUrl& link) {
    // A jump within the page stays in the panel; everything else goes to the browser.
    if (link.scheme().isEmpty() && link.path().isEmpty() && !link.hasQuery() &&
        link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = advertisementLinkTarget(m_pageUrl, link);
    if (target.isEmpty() || !m_actions)
        return;
    m_actions->openInBrowser(target.toString(QUrl::FullyEncoded).toStdString());
}

} // namespace tikko
