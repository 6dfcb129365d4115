// The markup engine on a 1,000-item list of mixed markup and pictures, in
// the same run as a reference: measuring and drawing one visible page as the
// list does, against the same items drawn as plain text; hit-testing a point
// in an item, against measuring that item. The counter "ratio" is our time
// divided by the reference's.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "codepage/codepage.h"
#include "gdi/bitmap.h"
#include "gdi/canvas.h"
#include "gdi/textdraw.h"
#include "htmllist/htmldraw.h"
#include "htmllist/picturecontainer.h"

namespace {

using namespace kolvarin;
using codepage::AnsiToUtf16;
using Clock = std::chrono::steady_clock;

constexpr int PageWidth = 432; // the news list's client area
constexpr int PageHeight = 443;
constexpr int ItemCount = 1000;

std::string png(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

struct Fixture {
    Fixture()
    {
        for (const auto& [name, color] :
             {std::pair{"logo", QColor(200, 40, 40)}, std::pair{"icon", QColor(40, 40, 200)}}) {
            TPictureItem* item = pictures.Add();
            item->Name = name;
            item->Picture.LoadFromBytes(png(16, 16, color));
        }
        const char* const kinds[] = {
            "<BODY bgcolor=\"#808080\" bgcolorto=\"clWhite\"><FONT size=\"3\" color=\"clWhite\"><SHADE><B>News title "
            "%d</B></SHADE></FONT></BODY>",
            "<FONT size=\"2\" color=\"clBlack\">A line of news %d with <B>bold</B>, <I>italic</I> and a "
            "<A href=\"http://news.example/%d\">link</A> that wraps at the end of the list's width</FONT>",
            "<IMG src=\"logo\" align=\"middle\"> Item %d <FONT color=\"clRed\">red</FONT> &amp; <U>under</U>",
            "<UL><LI>first point %d<LI>second point</UL>",
            "<P align=\"center\"><IMG src=\"icon\"> centred %d</P>",
        };
        for (int i = 0; i < ItemCount; ++i) {
            std::string item = kinds[i % 5];
            for (std::size_t at; (at = item.find("%d")) != std::string::npos;)
                item.replace(at, 2, std::to_string(i));
            items.push_back(item);
            plain.push_back(AnsiToUtf16(HTMLStrip(item)));
        }
        canvas.font = gdi::Font{.name = u"Tahoma", .pixelSize = 16};
    }

    THTMLDrawArgs args(const std::string& text, const gdi::Rect& rect)
    {
        THTMLDrawArgs a;
        a.Canvas = &canvas;
        a.Text = text;
        a.Rect = rect;
        a.PictureContainer = &pictures;
        return a;
    }

    // One page from item first on, as the list paints it: each item measured
    // for its height, then drawn. Returns the next page's first item.
    int markupPage(int first)
    {
        int y = 0;
        int i = first;
        for (; i < ItemCount && y < PageHeight; ++i) {
            THTMLDrawArgs a = args(items[i], {2, y, PageWidth, PageHeight});
            a.MeasureOnly = true;
            THTMLDrawResult r;
            HTMLDraw(a, r);
            const int height = std::min(r.Height, 251) + 4;
            a = args(items[i], {2, y, PageWidth, y + height});
            HTMLDraw(a, r);
            y += height;
        }
        return i % ItemCount;
    }

    // The same page with each item's plain text drawn on one line.
    int plainPage(int first)
    {
        int y = 0;
        int i = first;
        for (; i < ItemCount && y < PageHeight; ++i) {
            gdi::Rect box{2, y, PageWidth, PageHeight};
            const int height = gdi::DrawText(canvas, plain[i], box, gdi::DT_SINGLELINE | gdi::DT_CALCRECT) + 4;
            box = {2, y, PageWidth, y + height};
            gdi::DrawText(canvas, plain[i], box, gdi::DT_SINGLELINE | gdi::DT_END_ELLIPSIS);
            y += height;
        }
        return i % ItemCount;
    }

    TPictureContainer pictures;
    std::vector<std::string> items;
    std::vector<std::u16string> plain;
    gdi::Bitmap bitmap{PageWidth, PageHeight};
    gdi::Canvas canvas{bitmap};
};

Fixture& fixture()
{
    // Text goes through Qt, which wants its application object first.
    static int argc = 1;
    static char name[] = "bench_htmllist";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application =
        (::setenv("QT_QPA_PLATFORM", "offscreen", 0), new QGuiApplication(argc, argv));
    static Fixture f;
    (void)application;
    return f;
}

double micro(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// Best times of both sides: the machine may be busy with other work.
void report(benchmark::State& state, double ours, double plain)
{
    state.counters["ours_us"] = ours;
    state.counters["reference_us"] = plain;
    state.counters["ratio"] = ours / plain;
}

void BM_MeasureAndDrawPage(benchmark::State& state)
{
    Fixture& f = fixture();
    int ours = 0;
    int theirs = 0;
    double best = 1e12;
    double bestPlain = 1e12;
    for (auto _ : state) {
        auto start = Clock::now();
        ours = f.markupPage(ours);
        const auto middle = Clock::now();
        theirs = f.plainPage(theirs);
        const auto end = Clock::now();
        best = std::min(best, micro(middle - start));
        bestPlain = std::min(bestPlain, micro(end - middle));
        state.SetIterationTime(micro(middle - start) / 1e6);
    }
    report(state, best, bestPlain);
}
BENCHMARK(BM_MeasureAndDrawPage)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_HitTest(benchmark::State& state)
{
    Fixture& f = fixture();
    double best = 1e12;
    double bestPlain = 1e12;
    int i = 1;
    for (auto _ : state) {
        THTMLDrawArgs a = f.args(f.items[i], {2, 0, PageWidth, 60});
        a.HitTest = true;
        a.HitPoint = {300, 8};
        THTMLDrawResult r;
        auto start = Clock::now();
        HTMLDraw(a, r);
        const auto middle = Clock::now();
        a.HitTest = false;
        a.MeasureOnly = true;
        HTMLDraw(a, r);
        const auto end = Clock::now();
        best = std::min(best, micro(middle - start));
        bestPlain = std::min(bestPlain, micro(end - middle));
        state.SetIterationTime(micro(middle - start) / 1e6);
        i = (i + 5) % ItemCount;
    }
    report(state, best, bestPlain);
}
BENCHMARK(BM_HitTest)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

} // namespace
