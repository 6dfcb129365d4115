#include "scriptrun.h"

#include "script/lumoscript.h"

namespace kolvarin::script::test {

namespace {

std::string Unix(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out.push_back(c);
    return out;
}

} // namespace

std::string RunScript(const std::string& source, const std::string& fileName, const std::string& procedure)
{
    TLumoScript engine;
    // Only a runaway script meets the limit: a loaded machine or a sanitized
    // build must not.
    engine.SetLimits(60000);
    if (!engine.Compile(source, fileName))
        return Unix(engine.ErrorText()) + "\n";
    std::string out;
    for (const std::string& name : {std::string("$start"), procedure, std::string("$end")}) {
        execmem::CallResult result = engine.CallProc(name);
        out += engine.OutputText();
        engine.ClearOutput();
        if (!result.ok) {
            out += "Run error: " + result.error + "\n";
            break;
        }
    }
    return Unix(out);
}

} // namespace kolvarin::script::test
