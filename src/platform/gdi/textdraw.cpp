#include "gdi/textdraw.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gdi/qtimage.h"

namespace kolvarin::gdi {

struct FontEntry {
    Font key;
    QFont font;
    QFontMetrics metrics;
    // Widths measured before, by text, for each way of taking tabs and
    // prefixes: shaping is most of what measuring costs, and layout measures
    // the same words again and again.
    std::unordered_map<std::u16string, int> widths[4];
};

namespace {

constexpr std::size_t MaxRememberedWidths = 4096;

// The text as drawn: prefix characters taken out, with the index of the
// character a single "&" underlines.
struct ShownText {
    QString text;
    int mnemonic = -1;
};

ShownText shownText(std::u16string_view text, bool noPrefix)
{
    ShownText shown;
    shown.text.reserve(qsizetype(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'&' || noPrefix) {
            shown.text.append(QChar(c));
            continue;
        }
        if (i + 1 == text.size())
            break; // a trailing prefix character draws nothing
        if (text[i + 1] != u'&')
            shown.mnemonic = int(shown.text.size());
        shown.text.append(QChar(text[++i]));
    }
    return shown;
}

int tabStop(const QFontMetrics& metrics) { return std::max(1, metrics.averageCharWidth() * 8); }

// Calls f(start, length, x) for every tab-free piece of the text, and
// returns the text's width.
template <typename F>
int walkPieces(const QString& text, const QFontMetrics& metrics, bool expandTabs, F&& f)
{
    if (!expandTabs || !text.contains(u'\t')) {
        f(0, text.size(), 0);
        return metrics.horizontalAdvance(text);
    }
    int x = 0;
    qsizetype start = 0;
    const int stop = tabStop(metrics);
    for (;;) {
        const qsizetype tab = text.indexOf(u'\t', start);
        const qsizetype end = tab < 0 ? text.size() : tab;
        f(start, end - start, x);
        x += metrics.horizontalAdvance(text.mid(start, end - start));
        if (tab < 0)
            return x;
        x = (x / stop + 1) * stop;
        start = tab + 1;
    }
}

int textWidth(const QString& text, const QFontMetrics& metrics, bool expandTabs)
{
    return walkPieces(text, metrics, expandTabs, [](qsizetype, qsizetype, int) {});
}

// Cuts the text so that it and "..." fit into width.
void addEllipsis(ShownText& shown, const QFontMetrics& metrics, bool expandTabs, int width)
{
    const QString dots = QStringLiteral("...");
    const int room = width - metrics.horizontalAdvance(dots);
    qsizetype low = 0;
    qsizetype high = shown.text.size();
    while (low < high) { // the longest prefix that fits
        const qsizetype mid = (low + high + 1) / 2;
        if (textWidth(shown.text.left(mid), metrics, expandTabs) <= room)
            low = mid;
        else
            high = mid - 1;
    }
    shown.text = shown.text.left(low) + dots;
    if (shown.mnemonic >= low)
        shown.mnemonic = -1;
}

QColor toQColor(Color c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

CachedFont GetCachedFont(const Font& font)
{
    thread_local std::vector<std::unique_ptr<FontEntry>> cache; // most recent first
    // Colour and orientation are not part of the QFont.
    auto sameFace = [&](const Font& key) {
        return key.name == font.name && key.size == font.size && key.pixelSize == font.pixelSize &&
               key.bold == font.bold && key.italic == font.italic && key.underline == font.underline &&
               key.strikeout == font.strikeout;
    };
    auto hit = std::find_if(cache.begin(), cache.end(), [&](const auto& entry) { return sameFace(entry->key); });
    if (hit == cache.end()) {
        QFont qfont = ToQFont(font);
        QFontMetrics metrics(qfont);
        cache.insert(cache.begin(), std::make_unique<FontEntry>(FontEntry{font, qfont, metrics, {}}));
        if (cache.size() > 24)
            cache.pop_back();
    } else if (hit != cache.begin()) {
        std::rotate(cache.begin(), hit, hit + 1);
    }
    return {cache.front()->font, cache.front()->metrics, cache.front().get()};
}

int TextWidth(const Font& font, std::u16string_view text, unsigned format)
{
    const CachedFont cached = GetCachedFont(font);
    const bool expandTabs = (format & DT_EXPANDTABS) != 0;
    const bool noPrefix = (format & DT_NOPREFIX) != 0;
    auto& widths = cached.entry->widths[(expandTabs ? 2 : 0) + (noPrefix ? 1 : 0)];
    const std::u16string key(text);
    auto known = widths.find(key);
    if (known == widths.end()) {
        if (widths.size() >= MaxRememberedWidths)
            widths.clear();
        known = widths.emplace(key, textWidth(shownText(text, noPrefix).text, cached.metrics, expandTabs)).first;
    }
    return known->second;
}

int DrawText(Canvas& canvas, std::u16string_view text, Rect& rect, unsigned format)
{
    const CachedFont cached = GetCachedFont(canvas.font);
    const QFontMetrics& metrics = cached.metrics;
    const bool expandTabs = (format & DT_EXPANDTABS) != 0;
    const int cell = metrics.ascent() + metrics.descent();
    const int height = cell + ((format & DT_EXTERNALLEADING) ? metrics.leading() : 0);
    if (format & DT_CALCRECT) {
        rect.right = rect.left + TextWidth(canvas.font, text, format);
        rect.bottom = rect.top + height;
        return height;
    }
    ShownText shown = shownText(text, (format & DT_NOPREFIX) != 0);
    int width = TextWidth(canvas.font, text, format);
    if ((format & DT_END_ELLIPSIS) && width > rect.width()) {
        addEllipsis(shown, metrics, expandTabs, rect.width());
        width = textWidth(shown.text, metrics, expandTabs);
    }

    int x = rect.left;
    if (format & DT_CENTER)
        x = rect.left + (rect.width() - width) / 2;
    else if (format & DT_RIGHT)
        x = rect.right - width;
    int y = rect.top;
    if (format & DT_BOTTOM)
        y = rect.bottom - cell;
    else if (format & DT_VCENTER)
        y = rect.top + (rect.height() - cell) / 2;

    QImage image = WrapAsQImage(canvas.bitmap());
    if (image.isNull() || shown.text.isEmpty())
        return height;
    QPainter painter(&image);
    if (!(format & DT_NOCLIP))
        painter.setClipRect(QRect(rect.left, rect.top, rect.width(), rect.height()));
    painter.translate(x, y);
    painter.rotate(-canvas.font.orientation / 10.0);
    if (canvas.brush.style == BrushStyle::Solid)
        painter.fillRect(QRect(0, 0, width, cell), toQColor(canvas.brush.color));
    painter.setFont(cached.font);
    painter.setPen(toQColor(canvas.font.color));
    walkPieces(shown.text, metrics, expandTabs, [&](qsizetype start, qsizetype length, int pieceX) {
        painter.drawText(QPoint(pieceX, metrics.ascent()), shown.text.mid(start, length));
    });
    if (shown.mnemonic >= 0) {
        const int left = textWidth(shown.text.left(shown.mnemonic), metrics, expandTabs);
        const int charWidth = metrics.horizontalAdvance(shown.text.at(shown.mnemonic));
        painter.fillRect(QRect(left, metrics.ascent() + 1, charWidth, 1), toQColor(canvas.font.color));
    }
    return height;
}

} // namespace kolvarin::gdi
