#pragma once
// Compiles a script, runs "$start", the named procedure (or "$main") and
// "$end", and returns what a person checking the script wants to see: the
// printed text, then any error lines, with line breaks as "\n".

#include <string>

namespace kolvarin::script::test {

std::string RunScript(const std::string& source, const std::string& fileName, const std::string& procedure = "$main");

} // namespace kolvarin::script::test
