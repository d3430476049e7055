// Linked into every test program: the undo journal of whoever runs the tests is never written.
// Each program gets a fresh state folder of its own, however it is started.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct StateSandbox {
    StateSandbox() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvane-test-state-XXXXXX").string();
        if (mkdtemp(tmpl.data())) {
            folder = tmpl;
            setenv("XDG_STATE_HOME", folder.c_str(), 1);
        }
    }
    ~StateSandbox() {
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
} sandbox;

} // namespace
