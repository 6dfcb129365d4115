// TLumoXML against pugixml on the same ~20 MB document, in the same run.
// The counter "ratio" is our time divided by pugixml's (lower is better).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include <pugixml.hpp>

#include "core/xml/lumoxml.h"

namespace {

using Clock = std::chrono::steady_clock;

// Settings-, playlist- and skin-like elements: attributes, entities,
// nesting and short texts, as the program's own files hold them.
const std::string& document()
{
    static const std::string doc = [] {
        std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                        "<!--generated for the benchmark-->\r\n<Library Version=\"2.0.0.1\">\r\n";
        for (int i = 0; s.size() < 20 * 1024 * 1024; ++i) {
            const std::string n = std::to_string(i);
            s += "  <Album id=\"" + n + "\" Title=\"Best of &amp; more " + n + "\" Year=\"19" +
                 std::to_string(60 + i % 40) + "\">\r\n";
            for (int t = 0; t < 8; ++t) {
                s += "    <Track No=\"" + std::to_string(t + 1) + "\" Length=\"00:0" + std::to_string(t) +
                     ":42\" File=\"/music/artist " + n + "/track " + std::to_string(t) + ".mp3\" />\r\n";
            }
            s += "    <Note>Caf&eacute; &lt;live&gt; recording, &#x4E2D; take " + n + "</Note>\r\n";
            s += "    <Equalizer><Band id=\"0\" Value=\"12\" /><Band id=\"1\" Value=\"10\" /></Equalizer>\r\n";
            s += "  </Album>\r\n";
        }
        s += "</Library>\r\n";
        return s;
    }();
    return doc;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Best times of both sides: the machine may be busy with other work, and
// the best run is the one least disturbed by it.
struct Totals {
    double ours = 1e9;
    double theirs = 1e9;
    void add(benchmark::State& state, Clock::duration o, Clock::duration t)
    {
        ours = std::min(ours, seconds(o));
        theirs = std::min(theirs, seconds(t));
        state.SetIterationTime(seconds(o));
    }
    void report(benchmark::State& state) const
    {
        state.counters["ours_ms"] = ours * 1000;
        state.counters["pugixml_ms"] = theirs * 1000;
        state.counters["ratio"] = ours / theirs;
    }
};

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void BM_ParseVsPugixml(benchmark::State& state)
{
    const std::string& doc = document();
    kolvarin::TLumoStream stream;
    stream.SetText(doc);
    Totals totals;
    for (auto _ : state) {
        auto t0 = Clock::now();
        {
            kolvarin::TLumoXML xml;
            if (!xml.Parse(stream))
                state.SkipWithError("parse failed");
            benchmark::DoNotOptimize(xml.Root.Count());
        }
        auto t1 = Clock::now();
        {
            pugi::xml_document pdoc;
            if (!pdoc.load_buffer(doc.data(), doc.size()))
                state.SkipWithError("pugixml parse failed");
            benchmark::DoNotOptimize(pdoc.first_child());
        }
        auto t2 = Clock::now();
        totals.add(state, t1 - t0, t2 - t1);
    }
    totals.report(state);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
}

void BM_WriteVsPugixml(benchmark::State& state)
{
    const std::string& doc = document();
    kolvarin::TLumoXML xml;
    xml.Parse(doc);
    pugi::xml_document pdoc;
    pdoc.load_buffer(doc.data(), doc.size());
    Totals totals;
    for (auto _ : state) {
        auto t0 = Clock::now();
        {
            kolvarin::TLumoStream out;
            xml.Write(out, 2);
            benchmark::DoNotOptimize(out.GetSize());
        }
        auto t1 = Clock::now();
        {
            StringWriter out;
            pdoc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
            benchmark::DoNotOptimize(out.out.size());
        }
        auto t2 = Clock::now();
        totals.add(state, t1 - t0, t2 - t1);
    }
    totals.report(state);
}

} // namespace

BENCHMARK(BM_ParseVsPugixml)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteVsPugixml)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
