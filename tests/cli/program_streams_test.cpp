// The real program as scripts use it: standard output that cannot be
// written, "-" for standard output, Ctrl-C during a run.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
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
    EXPECT_NE(sim.err.find("IRRs written to:            standard output: 3 lines written; 2 simulations had no IRR\n"),
              std::string::npos)
        << sim.err;

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

// Ctrl-C, SIGTERM and SIGHUP end the run after the simulation going: the
// summary of those run, a file of complete lines, the shell's status for the
// signal. Few resamples: the summary's p-values are not what this checks.
TEST(Streams, ASignalEndsARunWithItsSummary) {
    struct Case {
        const char* signal;
        int status;
        const char* says;
    };
    for (const Case& c : {Case{"INT", 130, "valmora-cli: interrupted after "},
                          Case{"TERM", 143, "valmora-cli: ended by SIGTERM after "},
                          Case{"HUP", 129, "valmora-cli: ended by SIGHUP after "}}) {
        const Shell s = RunShell(
            "simulate --dist normal --p1 400 --p2 400 --payments 72 --sims 10000000 --seed 1 --resamples 19 --output -",
            std::string("timeout --preserve-status -s ") + c.signal + " 0.5 ");
        EXPECT_EQ(s.status, c.status) << s.err;
        EXPECT_NE(s.err.find(c.says), std::string::npos) << s.err;
        ASSERT_FALSE(s.out.empty()) << c.signal;
        EXPECT_EQ(s.out.substr(s.out.size() - 2), "\r\n");
        const auto lines = static_cast<long>(std::count(s.out.begin(), s.out.end(), '\n'));
        EXPECT_NE(s.err.find("Simulations with an IRR:    " + std::to_string(lines) + "\n"), std::string::npos)
            << s.err;
    }
}

// A run killed outright keeps the lines of the simulations that ended well
// before: they reach the file within half a second, not when a block fills.
TEST(Streams, AKilledRunKeepsItsLines) {
    const fs::path path = fs::temp_directory_path() / ("valmora-killed-" + std::to_string(::getpid()));
    const Shell s = RunShell(
        "simulate --dist normal --p1 400 --p2 400 --payments 5000 --sims 100000 --seed 1 --output " + path.string(),
        "timeout -s KILL 2 ");
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    fs::remove(path);
    const std::string bytes = text.str();
    EXPECT_EQ(s.status, 128 + 9);  // killed
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

// A command-line tool reads and writes numbers the same way on every desktop:
// under a German locale (decimal comma) its output is byte for byte the one
// of the C locale. The locale is compiled for the test into a folder of its
// own, so that no system set-up is needed.
TEST(Streams, TheLocaleChangesNoByte) {
    const fs::path dir = fs::temp_directory_path() / ("valmora-locale-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Removed however the test ends.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> removed(
        &dir, [](const fs::path* folder) { fs::remove_all(*folder); });
    const std::string compile = "localedef -i de_DE -f UTF-8 " + (dir / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << "localedef could not compile de_DE.UTF-8 (package locales)";
    const std::string german = "LOCPATH=" + dir.string() + " LC_ALL=de_DE.UTF-8 ";
    // The locale is in effect: the C library writes decimal commas under it.
    const Shell check = RunShell("--version", german + "locale -k decimal_point >&2; ");
    EXPECT_NE(check.err.find("decimal_point=\",\""), std::string::npos) << check.err;
    for (const char* args :
         {"irr -- -1000 3600 -4310 1716", "irr --json --rate 0.15 -- -1000.5 3600 -4310 1716.25",
          "simulate --dist normal --p1 400.5 --p2 400 --sims 20 --seed 7 --resamples 19 --output -"}) {
        const Shell c = RunShell(args, "LC_ALL=C ");
        const Shell de = RunShell(args, german);
        EXPECT_EQ(c.status, 0) << c.err;
        EXPECT_EQ(de.status, c.status) << args;
        EXPECT_EQ(de.out, c.out) << args;
        EXPECT_EQ(de.err, c.err) << args;
        EXPECT_NE(c.out.find('.'), std::string::npos) << args;
    }
}

}  // namespace
