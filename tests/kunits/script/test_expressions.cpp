// Random fully parenthesised integer expressions, compiled and run, against
// the same expressions evaluated here with 32-bit wrap-around.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "scriptrun.h"

namespace {

struct Expr {
    std::string text;
    int32_t value;
};

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    Expr Make(int depth)
    {
        const int32_t vars[] = {kA, kB, kC};
        if (depth == 0 || Pick(4) == 0) {
            if (Pick(2) == 0) {
                int v = Pick(3);
                return {std::string(1, static_cast<char>('a' + v)), vars[v]};
            }
            int32_t n = Pick(1000);
            return {std::to_string(n), n};
        }
        Expr l = Make(depth - 1);
        switch (Pick(9)) {
        case 0: return Join(l, "+", Make(depth - 1), [](int64_t x, int64_t y) { return x + y; });
        case 1: return Join(l, "-", Make(depth - 1), [](int64_t x, int64_t y) { return x - y; });
        case 2: return Join(l, "*", Make(depth - 1), [](int64_t x, int64_t y) { return x * y; });
        case 3: return Join(l, "&", Make(depth - 1), [](int64_t x, int64_t y) { return x & y; });
        case 4: return Join(l, "|", Make(depth - 1), [](int64_t x, int64_t y) { return x | y; });
        case 5: return Join(l, "^", Make(depth - 1), [](int64_t x, int64_t y) { return x ^ y; });
        case 6: {
            int32_t d = 1 + Pick(9);
            return {"(" + l.text + " / " + std::to_string(d) + ")", l.value == INT32_MIN ? l.value / 1 : l.value / d};
        }
        case 7: {
            int32_t d = 1 + Pick(9);
            return {"(" + l.text + " % " + std::to_string(d) + ")", l.value == INT32_MIN ? 0 : l.value % d};
        }
        default: return {"(-" + l.text + ")", Wrap(-static_cast<int64_t>(l.value))};
        }
    }

    static constexpr int32_t kA = 123456, kB = -789, kC = 7;

private:
    template <typename F>
    Expr Join(const Expr& l, const char* op, const Expr& r, F f)
    {
        return {"(" + l.text + " " + op + " " + r.text + ")", Wrap(f(l.value, r.value))};
    }
    int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
    std::mt19937 random_;
};

TEST(Expressions, RandomIntegerExpressionsMatchTwosComplementArithmetic)
{
    Generator gen(20261210);
    std::ostringstream script, expected;
    script << "int a, b, c;\na = " << Generator::kA << "; b = 0 - " << -Generator::kB << "; c = " << Generator::kC
           << ";\nint r;\n";
    for (int i = 0; i < 300; ++i) {
        Expr e = gen.Make(4);
        script << "r = " << e.text << "; print(r, \"\\n\");\n";
        expected << e.value << "\n";
    }
    EXPECT_EQ(kolvarin::script::test::RunScript(script.str(), "t.kgraph"), expected.str());
}

} // namespace
