// Test helpers: temporary directories, files and whole korva runs.
#include "support/test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits.h>
#include <sstream>
#include <stdexcept>

std::string make_temp_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/korva-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return std::string(buf.data());
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string source_path(const std::string& relative) {
    return std::string(KORVA_SOURCE_DIR) + "/" + relative;
}

korva_run run_korva_in(const std::string& dir, const std::string& input, const std::string& env,
                       const std::string& args, const std::string& redirect) {
    korva_run r;
    r.dir = dir;
    write_file(r.dir + "/.stdin", input);
    std::string cmd = "cd '" + r.dir + "' && " + env + " '" + KORVA_BINARY + "' " + args +
                      " < .stdin " + redirect;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 1000 + raw;
    r.out = read_file(r.dir + "/.stdout");
    r.err = read_file(r.dir + "/.stderr");
    // Only a regular file is read back: "infor" may be a link to a device.
    struct stat st;
    r.infor_exists = stat((r.dir + "/infor").c_str(), &st) == 0;
    if (r.infor_exists && S_ISREG(st.st_mode)) r.infor = read_file(r.dir + "/infor");
    return r;
}

std::vector<std::string> list_dir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

korva_run run_korva(const std::string& input,
                    const std::vector<std::pair<std::string, std::string>>& files,
                    const std::string& env) {
    std::string dir = make_temp_dir();
    for (const auto& f : files) write_file(dir + "/" + f.first, f.second);
    return run_korva_in(dir, input, env);
}

korva_run run_in_child(const std::function<void()>& body) {
    korva_run r;
    r.dir = make_temp_dir();
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(r.dir.c_str()) != 0) _exit(120);
        if (std::freopen(".stdout", "w", stdout) == nullptr) _exit(121);
        if (std::freopen(".stderr", "w", stderr) == nullptr) _exit(122);
        body();
        std::exit(0);
    }
    int raw = 0;
    waitpid(child, &raw, 0);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 1000 + raw;
    r.out = read_file(r.dir + "/.stdout");
    r.err = read_file(r.dir + "/.stderr");
    r.infor_exists = access((r.dir + "/infor").c_str(), F_OK) == 0;
    if (r.infor_exists) r.infor = read_file(r.dir + "/infor");
    return r;
}

scoped_temp_cwd::scoped_temp_cwd() {
    char buf[PATH_MAX];
    if (getcwd(buf, sizeof buf) != nullptr) previous = buf;
    dir = make_temp_dir();
    if (chdir(dir.c_str()) != 0) throw std::runtime_error("chdir failed");
}

scoped_temp_cwd::~scoped_temp_cwd() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) std::abort();
}
