// The real program as scripts use it: standard output that cannot be
// written, "-" for standard output, Ctrl-C during a run.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Shell {
    int status;
    std::string out, err;
};

// `args` (shell words) run by sh after `before` and the program, standard
// output and error captured unless `args` sends them elsewhere.
Shell RunShell(const std::string& args, const std::string& before = "") {
    const fs::path dir = fs::temp_directory_path() / ("valmora-streams-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string command = "{ " + before + std::string(VALMORA_CLI) + " " + args + "; } >" +
                                (dir / "out").string() + " 2>" + (dir / "err").string();
    const int raw = std::system(command.c_str());
    auto read = [&](const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    Shell shell{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read("out"), read("err")};
    fs::remove_all(dir);
    return shell;
}

TEST(Streams, AFullDiskIsAnErrorNotASuccess) {
    for (const char* args :
         {"irr --json -- -1000 500 500 500", "--help", "simulate --dist normal --p1 400 --p2 400 --sims 5 --seed 1"}) {
        const Shell s = RunShell(std::string(args) + " >/dev/full");
        EXPECT_EQ(s.status, 1) << args;
        EXPECT_EQ(s.err, "valmora-cli: cannot write the output: No space left on device\n") << args;
    }
}

TEST(Streams, DashIsStandardOutput) {
    const Shell sim = RunShell("simulate --dist normal --p1 400 --p2 400 --sims 5 --seed 1 --output -");
    EXPECT_EQ(sim.status, 0) << sim.err;
    // The IRR lines alone on standard output, the summary on standard error.
    const fs::path path = fs::temp_directory_path() / ("valmora-streams-irrs-" + std::to_string(::getpid()));
    EXPECT_EQ(RunShell("simulate --dist normal --p1 400 --p2 400 --sims 5 --seed 1 --output " + path.string()).status,
              0);
    std::ifstream file(path, std::ios::binary);
    std::stringstream lines;
    lines << file.rdbuf();
    fs::remove(path);
    EXPECT_EQ(sim.out, lines.str());
    EXPECT_EQ(sim.out.find("Simulations"), std::string::npos);
    EXPECT_NE(sim.err.find("Simulations run:            5\nSimulations with an IRR:    3\n"), std::string::npos)
        << sim.err;
    EXPECT_NE(sim.err.find("IRRs written to:            standard output"), std::string::npos);

    const Shell profile = RunShell("irr --profile - -- -1000 1100");
    EXPECT_EQ(profile.status, 0) << profile.err;
    EXPECT_EQ(profile.out.rfind("rate,npv\n", 0), 0u);
    EXPECT_NE(profile.err.find("IRR(s):"), std::string::npos);
}

TEST(Streams, ProfileNamesMustNameAFile) {
    EXPECT_EQ(RunShell("irr --profile '' -- -1000 1100").status, 2);
    const Shell s = RunShell("irr --profile /nonexistent/profile.csv -- -1000 1100");
    EXPECT_EQ(s.status, 2);
    EXPECT_EQ(s.err,
              "valmora-cli: --profile: cannot write the file '/nonexistent/profile.csv': No such file or directory\n");
}

// Ctrl-C ends the run after the simulation going: the summary of those run,
// a file of complete lines, status 130.
TEST(Streams, CtrlCEndsARunWithItsSummary) {
    const Shell s =
        RunShell("simulate --dist normal --p1 400 --p2 400 --payments 72 --sims 10000000 --seed 1 --output -",
                 "timeout --preserve-status -s INT 0.5 ");
    EXPECT_EQ(s.status, 130) << s.err;
    EXPECT_NE(s.err.find("valmora-cli: interrupted after "), std::string::npos) << s.err;
    ASSERT_FALSE(s.out.empty());
    EXPECT_EQ(s.out.substr(s.out.size() - 2), "\r\n");
    const auto lines = static_cast<long>(std::count(s.out.begin(), s.out.end(), '\n'));
    EXPECT_NE(s.err.find("Simulations run:            " + std::to_string(lines) + "\n"), std::string::npos) << s.err;
}

}  // namespace
