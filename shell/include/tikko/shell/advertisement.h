// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QNetworkAccessManager>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>

namespace tikko {

class SystemActions;

// Bounds on the advertisement page and its pictures: both come from a server we do not
// control, so nothing may wait, grow or fetch without end.
struct AdvertisementLimits {
    int pageTimeoutMs = 10000; // the whole page, redirects included
    qint64 maxPageBytes = 256 * 1024;
    int maxRedirects = 5;
    int maxImages = 8;
    int imageTimeoutMs = 10000; // each picture
    qint64 maxImageBytes = 256 * 1024;
    int maxImageSide = 2000; // pixels
    // What the page may ask of the layout, which runs on the thread that checks the alarms:
    // its cost grows fast with each of these (nested tables exponentially), so a page
    // beyond any of them is not laid out at all. Counted on the markup without its scripts
    // and comments.
    qsizetype maxMarkupChars = 64 * 1024;
    int maxElements = 500;
    int maxDepth = 32;
    int maxTableDepth = 3;
    int maxTableCells = 500;      // rows times columns, over all tables
    int maxTextChars = 5000;      // a run of blanks counts once
    int maxWordChars = 200;       // the longest run without a place to break the line
    int maxStyleChars = 8 * 1024; // style sheets: each rule is matched against each element
};

// Why the page is not shown.
enum class AdvertisementFailure {
    NotWebAddress, // not http or https: never requested
    Network,       // no network, an unknown host, a refused connection
    HttpStatus,    // anything but 200
    Timeout,
    TooLarge,
    NotHtml,
    TooComplex, // beyond the bounds of what the layout may be asked to do
};

// What a page asks of the layout, counted from its markup alone, and the markup that is
// laid out: the page without its scripts and comments. Counting stops once a count is
// beyond its bound.
struct AdvertisementPage {
    QString html;
    int elements = 0;
    int depth = 0;
    int tableDepth = 0;
    int tableCells = 0;
    int textChars = 0;
    int longestWord = 0;
    int styleChars = 0;

    bool fits(const AdvertisementLimits& limits) const;
};
AdvertisementPage measureAdvertisementPage(QStringView html,
                                           const AdvertisementLimits& limits = {});

// The address a link of the page opens: resolved against the page; empty unless it is an
// http or https address with a host.
QUrl advertisementLinkTarget(const QUrl& page, const QUrl& link);

// Whether a picture may be fetched for the page: http or https, on the page's own host.
bool advertisementImageAllowed(const QUrl& page, const QUrl& image);

// Whether a Content-Type value names an HTML page ("text/html", parameters allowed).
bool isHtmlContentType(const QByteArray& contentType);

// Fetches the advertisement page once, and the pictures it names, within the limits.
// Everything is asynchronous: nothing here waits for the network.
class AdvertisementLoader final : public QObject {
    Q_OBJECT

public:
    explicit AdvertisementLoader(QObject* parent = nullptr);

    void setLimits(const AdvertisementLimits& limits) { m_limits = limits; }
    const AdvertisementLimits& limits() const { return m_limits; }
    QNetworkAccessManager& network() { return m_network; }

    // Requests the page; only the first call does anything (no retry, no reload).
    void load(const QString& address);
    bool started() const { return m_started; }

    // Requests one picture of the page that arrived; false when it is not allowed, was
    // asked for already, or the count of pictures is used up.
    bool loadImage(const QUrl& image);

signals:
    // The final address (after redirects) and the decoded page.
    void pageArrived(const QUrl& url, const QString& html);
    void failed(tikko::AdvertisementFailure failure);
    void imageArrived(const QUrl& url, const QImage& image);
    // A requested picture that did not come, or is no plain picture within the bounds.
    void imageDropped(const QUrl& url);

private:
    QNetworkAccessManager m_network;
    AdvertisementLimits m_limits;
    QUrl m_pageUrl;
    QSet<QUrl> m_requestedImages;
    bool m_started = false;
};

// The advertisement panel's browser (`Web`): shows the page as rich text, runs no scripts,
// reads no local file and no other scheme, has no context menu of its own, and hands every
// link to the system's browser instead of following it. It hides itself, silently, when
// the page cannot be shown.
class AdvertisementBrowser final : public QTextBrowser {
    Q_OBJECT

public:
    explicit AdvertisementBrowser(QWidget* parent = nullptr);

    // Where link clicks go; none: links do nothing.
    void setSystemActions(SystemActions* actions) { m_actions = actions; }
    AdvertisementLoader& loader() { return m_loader; }

    // Requests the page once, without waiting for it.
    void load(const QString& address);
    // The address of the page shown; empty until one arrived.
    QUrl pageUrl() const { return m_pageUrl; }

    // Reads nothing: a picture is a blank until the loader brings it, anything else empty.
    QVariant loadResource(int type, const QUrl& name) override;

signals:
    void pageShown();
    void imageShown(const QUrl& url);
    void pageFailed(tikko::AdvertisementFailure failure);

private:
    void showPage(const QUrl& url, const QString& html);
    void showImage(const QUrl& url, const QImage& image);
    void fail(AdvertisementFailure failure);
    void openLink(const QUrl& link);

    AdvertisementLoader m_loader;
    SystemActions* m_actions = nullptr;
    QUrl m_pageUrl;
};

} // namespace tikko
