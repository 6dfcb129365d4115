// Golden programs: each programs/NN_name.kgraph runs and must print exactly
// programs/NN_name.expect.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "scriptrun.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Programs()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(KOLVARIN_SCRIPT_PROGRAMS))
        if (entry.path().extension() == ".kgraph")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenProgram : public testing::TestWithParam<std::string> {};

TEST_P(GoldenProgram, PrintsWhatItShould)
{
    fs::path dir = KOLVARIN_SCRIPT_PROGRAMS;
    std::string name = GetParam();
    std::string source = ReadFile(dir / (name + ".kgraph"));
    std::string expected = ReadFile(dir / (name + ".expect"));
    EXPECT_EQ(kolvarin::script::test::RunScript(source, name + ".kgraph"), expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenProgram, testing::ValuesIn(Programs()),
                         [](const testing::TestParamInfo<std::string>& program) { return program.param; });

} // namespace
