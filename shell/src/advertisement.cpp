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
#include <algorithm>
#include <functional>
#include <limits>
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

// Elements that never hold content, so they are never open.
bool isVoidElement(QStringView name) {
    static const QStringList names = {"area",  "base", "basefont", "br",     "col",     "embed",
                                      "frame", "hr",   "img",      "input",  "isindex", "keygen",
                                      "link",  "meta", "param",    "source", "track",   "wbr"};
    return names.contains(name);
}

// Elements inside a line: the text on either side may still be one word.
bool isInlineElement(QStringView name) {
    static const QStringList names = {"a",      "abbr", "b",    "big",  "cite",  "code", "del",
                                      "dfn",    "em",   "font", "i",    "ins",   "kbd",  "mark",
                                      "nobr",   "q",    "s",    "samp", "small", "span", "strike",
                                      "strong", "sub",  "sup",  "tt",   "u",     "var"};
    return names.contains(name);
}

// For an element whose end tag may be left out: the open elements that stop a new one of
// its kind from closing an earlier one (a list item closes the previous item of its list,
// not one of an outer list).
QStringList impliedEndScope(QStringView name) {
    if (name == u"li")
        return {"ul", "ol"};
    if (name == u"dt" || name == u"dd")
        return {"dl"};
    if (name == u"td" || name == u"th")
        return {"tr", "table"};
    if (name == u"tr" || name == u"thead" || name == u"tbody" || name == u"tfoot")
        return {"table"};
    if (name == u"option")
        return {"select"};
    if (name == u"p")
        return {"table", "td", "th", "li", "div", "blockquote", "body"};
    return {};
}

// Where a line may break: blanks, and between the characters of Chinese, Japanese and
// Korean text.
bool breaksWord(QChar c) {
    const char16_t u = c.unicode();
    return c.isSpace() || (u >= 0x2E80 && u <= 0xD7FF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

qsizetype indexOfInsensitive(QStringView text, QStringView what, qsizetype from) {
    return text.indexOf(what, from, Qt::CaseInsensitive);
}

struct TableShape {
    int rows = 0;
    int columns = 0;
    int rowWidth = 0;
    qint64 cells() const { return qint64(std::max(rows, 1)) * std::max(columns, rowWidth); }
};

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

// Every resource the page names is answered here, never by Qt: given no picture, Qt's image
// handler loads the picture's raw name as a file of this machine (a FIFO there blocks it for
// good), and a document reads local files for names it cannot resolve otherwise.
QVariant blankResource(int type) {
    if (type != QTextDocument::ImageResource)
        return QVariant(QByteArray());
    static const QImage blank = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }();
    return blank;
}

class AdvertisementDocument final : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl&) override { return blankResource(type); }
};

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

bool AdvertisementPage::fits(const AdvertisementLimits& limits) const {
    return html.size() <= limits.maxMarkupChars && elements <= limits.maxElements &&
           depth <= limits.maxDepth && tableDepth <= limits.maxTableDepth &&
           tableCells <= limits.maxTableCells && textChars <= limits.maxTextChars &&
           longestWord <= limits.maxWordChars && styleChars <= limits.maxStyleChars;
}

AdvertisementPage measureAdvertisementPage(QStringView html, const AdvertisementLimits& limits) {
    AdvertisementPage page;
    page.html.reserve(html.size());
    QStringList open;
    QList<TableShape> tables;
    qsizetype copiedTo = 0;
    int word = 0;
    bool blank = false;
    qsizetype dropped = 0;
    const auto drop = [&](qsizetype from, qsizetype to) {
        page.html += html.mid(copiedTo, from - copiedTo);
        copiedTo = to;
        dropped += to - from;
    };
    const auto closeTable = [&] {
        page.tableCells = static_cast<int>(std::min<qint64>(
            std::numeric_limits<int>::max(), page.tableCells + tables.takeLast().cells()));
    };
    const auto popTo = [&](qsizetype index) {
        while (open.size() > index) {
            if (open.takeLast() == u"table" && !tables.isEmpty())
                closeTable();
        }
    };
    const auto text = [&](QChar c) {
        if (c.isSpace()) {
            page.textChars += blank ? 0 : 1;
            blank = true;
        } else {
            ++page.textChars;
            blank = false;
        }
        word = breaksWord(c) ? 0 : word + 1;
        page.longestWord = std::max(page.longestWord, word);
    };

    const qsizetype n = html.size();
    qsizetype i = 0;
    // Stops counting once the page is beyond a bound: the rest could only cost time (the
    // open elements, searched at each end tag, stay few).
    const auto beyond = [&] {
        return i - dropped > limits.maxMarkupChars || page.elements > limits.maxElements ||
               page.depth > limits.maxDepth || page.tableDepth > limits.maxTableDepth ||
               page.tableCells > limits.maxTableCells || page.textChars > limits.maxTextChars ||
               page.longestWord > limits.maxWordChars || page.styleChars > limits.maxStyleChars;
    };
    while (i < n && !beyond()) {
        const QChar c = html[i];
        if (c == u'&') {
            // An entity is one character (&nbsp; one that does not break).
            qsizetype end = i + 1;
            while (end < n && end - i <= 10 && (html[end].isLetterOrNumber() || html[end] == u'#'))
                ++end;
            text(QChar(u'x'));
            i = end < n && html[end] == u';' ? end + 1 : i + 1;
            continue;
        }
        if (c != u'<') {
            text(c);
            ++i;
            continue;
        }
        // Read as Qt's rich-text parser reads it, so that the counts see what the layout will
        // see: blanks after "<", quotes only around a whole value, the end at the next ">".
        qsizetype pos = i + 1;
        const auto skipBlanks = [&] {
            while (pos < n && html[pos].isSpace())
                ++pos;
        };
        const auto readWord = [&]() -> QStringView {
            if (pos < n && (html[pos] == u'"' || html[pos] == u'\'')) {
                const QChar quote = html[pos++];
                const qsizetype end = html.indexOf(quote, pos);
                const qsizetype stop = end < 0 ? n : end;
                const QStringView word = html.mid(pos, stop - pos);
                pos = std::min(stop + 1, n);
                return word;
            }
            const qsizetype from = pos;
            while (pos < n) {
                const QChar w = html[pos];
                if (w == u'>' || w == u'<' || w == u'=' || w.isSpace() ||
                    (w == u'/' && pos + 1 < n && html[pos + 1] == u'>'))
                    break;
                ++pos;
            }
            return html.mid(from, pos - from);
        };
        const auto tagEnd = [&] {
            const qsizetype end = html.indexOf(u'>', pos);
            return end < 0 ? n : end + 1;
        };
        skipBlanks();
        if (html.mid(pos, 3) == u"!--") {
            const qsizetype end = html.indexOf(u"-->", pos + 3);
            const qsizetype after = end < 0 ? n : end + 3;
            drop(i, after);
            i = after;
            continue;
        }
        if (pos < n && html[pos] == u'!') { // <!DOCTYPE ...>
            i = tagEnd();
            continue;
        }
        const bool closing = pos < n && html[pos] == u'/';
        if (closing)
            ++pos;
        const QString name = readWord().toString().toLower();
        if (!isInlineElement(name))
            word = 0;
        if (closing) {
            const qsizetype at = open.lastIndexOf(name);
            if (at >= 0)
                popTo(at);
            i = tagEnd();
            continue;
        }
        int colspan = 1;
        for (;;) {
            skipBlanks();
            if (pos >= n || html[pos] == u'>' || html[pos] == u'/')
                break;
            const QStringView key = readWord();
            if (key.isEmpty())
                break;
            skipBlanks();
            if (pos < n && html[pos] == u'=') {
                ++pos;
                skipBlanks();
                const QStringView value = readWord();
                if (key.compare(u"colspan", Qt::CaseInsensitive) == 0)
                    colspan = std::clamp(value.trimmed().toInt(), 1, 1'000'000);
            }
        }
        const qsizetype after = tagEnd();
        if (name == u"script") {
            // Never run, so never laid out either.
            const qsizetype end = indexOfInsensitive(html, u"</script", after);
            const qsizetype endTag = end < 0 ? -1 : html.indexOf(u'>', end);
            const qsizetype skipTo = endTag < 0 ? n : endTag + 1;
            drop(i, skipTo);
            i = skipTo;
            continue;
        }
        ++page.elements;
        if (name == u"td" || name == u"th") {
            if (!tables.isEmpty()) {
                TableShape& table = tables.last();
                table.rows = std::max(table.rows, 1);
                table.rowWidth += colspan;
            }
        } else if (name == u"tr" && !tables.isEmpty()) {
            TableShape& table = tables.last();
            table.columns = std::max(table.columns, table.rowWidth);
            table.rowWidth = 0;
            ++table.rows;
        }
        if (!isVoidElement(name)) {
            const QStringList scope = impliedEndScope(name);
            if (!scope.isEmpty()) {
                for (qsizetype at = open.size() - 1; at >= 0 && !scope.contains(open[at]); --at) {
                    if (open[at] == name) {
                        popTo(at);
                        break;
                    }
                }
            }
            open.append(name);
            page.depth = std::max(page.depth, static_cast<int>(open.size()));
        }
        if (name == u"table") {
            tables.append(TableShape{});
            page.tableDepth = std::max(page.tableDepth, static_cast<int>(tables.size()));
        } else if (name == u"style") {
            const qsizetype end = indexOfInsensitive(html, u"</style", after);
            const qsizetype styleEnd = end < 0 ? n : end;
            page.styleChars += static_cast<int>(styleEnd - after);
            i = styleEnd;
            continue;
        }
        i = after;
    }
    while (!tables.isEmpty())
        closeTable();
    page.html += html.mid(copiedTo);
    return page;
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
        AdvertisementPage page =
            measureAdvertisementPage(decodePage(answer.body, answer.contentType), m_limits);
        if (!page.fits(m_limits)) {
            qCDebug(lcAdvertisement)
                << "page beyond the layout's bounds:" << page.html.size() << "characters,"
                << page.elements << "elements, depth" << page.depth << ", tables" << page.tableDepth
                << "deep" << page.tableCells << "cells," << page.textChars << "text,"
                << page.longestWord << "longest word," << page.styleChars << "style";
            emit failed(AdvertisementFailure::TooComplex);
            return;
        }
        m_pageUrl = answer.url;
        emit pageArrived(answer.url, page.html);
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
    setDocument(new AdvertisementDocument(this));
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

QVariant AdvertisementBrowser::loadResource(int type, const QUrl&) {
    return blankResource(type);
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
