// Test driver: compiles a script file, runs "$start", a named public
// procedure (default "$main") and "$end", and prints the script's output and
// error lines. Usage: ksrun FILE [PROCEDURE]
#include <fstream>
#include <iostream>
#include <sstream>

#include "scriptrun.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: ksrun FILE [PROCEDURE]\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string name = argv[1];
    name = name.substr(name.find_last_of('/') + 1);
    std::cout << kolvarin::script::test::RunScript(text.str(), name, argc > 2 ? argv[2] : "$main");
    return 0;
}
