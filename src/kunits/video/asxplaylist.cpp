#include "video/asxplaylist.h"

#include <QRegularExpression>
#include <QString>
#include <QUrl>

namespace kolvarin::video {

std::vector<std::string> AsxReferences(std::string_view text, const std::string& base)
{
    static const QRegularExpression ref(R"re(<ref\s[^>]*?\bhref\s*=\s*(?:"([^"]*)"|'([^']*)'))re",
                                        QRegularExpression::CaseInsensitiveOption);
    const QString list = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QUrl baseUrl(QString::fromStdString(base));
    std::vector<std::string> refs;
    for (auto it = ref.globalMatch(list); it.hasNext();) {
        const auto m = it.next();
        QString href = (m.hasCaptured(1) ? m.captured(1) : m.captured(2)).trimmed();
        href.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
        href.replace("&amp;", "&");
        if (!href.isEmpty())
            refs.push_back(baseUrl.resolved(QUrl(href)).toString().toStdString());
    }
    return refs;
}

bool IsAsxUrl(const std::u16string& name)
{
    const QUrl url(QString::fromStdU16String(name));
    const QString scheme = url.scheme().toLower();
    return (scheme == "http" || scheme == "https") && url.path().endsWith(".asx", Qt::CaseInsensitive);
}

http::HttpRequest AsxListRequest(const std::string& url)
{
    http::HttpRequest request;
    request.url = url;
    request.connectTimeoutMs = 10000;
    request.totalTimeoutMs = 15000;
    request.maxBytes = 1 << 20;
    return request;
}

std::string FirstAsxReference(const http::HttpResult& result, const std::string& url, std::string& error)
{
    if (!result.ok()) {
        error = result.error;
        return {};
    }
    const auto refs = AsxReferences(result.body, url);
    if (refs.empty()) {
        error = "the list refers to no stream";
        return {};
    }
    return refs.front();
}

} // namespace kolvarin::video
