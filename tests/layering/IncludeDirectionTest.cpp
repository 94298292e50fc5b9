// Every source file's quoted includes point down the chain of layers, never up:
// Framework and Shared, primitives, core, imaging, engine, dialogs, ui, and the start-up on top.
// The two libraries beside the viewer use only Framework and Shared. A test folder may use what the
// folder it tests may use, itself and the test support.
#include <gtest/gtest.h>
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const std::vector<std::string> kBase = {"Framework/", "Shared/"};

std::vector<std::string> Below(std::initializer_list<const char*> layers)
{
    std::vector<std::string> allowed = kBase;
    for (const char* layer : layers) allowed.push_back(std::string("Viewer/") + layer + "/");
    return allowed;
}

struct FolderRule {
    std::string folder;              // a prefix of the file's path from the source root
    std::vector<std::string> allowed;  // prefixes its includes may start with
};

// Longest folder first: the first rule whose folder starts the path holds.
std::vector<FolderRule> Rules()
{
    const auto primitives = Below({"primitives"});
    const auto core = Below({"primitives", "core"});
    const auto imaging = Below({"primitives", "core", "imaging"});
    const auto engine = Below({"primitives", "core", "imaging", "engine"});
    const auto dialogs = Below({"primitives", "core", "imaging", "engine", "dialogs"});
    const auto ui = Below({"primitives", "core", "imaging", "engine", "dialogs", "ui"});
    const std::vector<std::string> everything = {"Framework/", "Shared/", "Viewer/"};
    auto with = [](std::vector<std::string> allowed, std::initializer_list<const char*> more) {
        allowed.insert(allowed.end(), more.begin(), more.end());
        return allowed;
    };
    return {
        {"Framework/", {"Framework/"}},
        {"Shared/", kBase},
        {"PlugIns/Wallpaper/", with(kBase, {"PlugIns/Wallpaper/"})},
        {"ShellIntegration/", with(kBase, {"ShellIntegration/"})},
        {"Viewer/primitives/", primitives},
        {"Viewer/core/startup/", everything},
        {"Viewer/core/", core},
        {"Viewer/imaging/", imaging},
        {"Viewer/engine/", engine},
        {"Viewer/dialogs/", dialogs},
        {"Viewer/ui/", ui},
        {"Viewer/", everything},
        {"tests/support/", with(kBase, {"tests/support/"})},
        {"tests/framework/", with({"Framework/"}, {"tests/framework/", "tests/support/"})},
        {"tests/primitives/", with(primitives, {"tests/primitives/", "tests/support/"})},
        {"tests/core/", with(core, {"tests/core/", "tests/crashprobe/", "tests/support/"})},
        {"tests/crashprobe/", with(core, {"tests/crashprobe/", "tests/core/", "tests/support/"})},
        {"tests/language/", with(core, {"tests/language/", "tests/support/"})},
        {"tests/imaging/", with(imaging, {"tests/imaging/", "tests/support/"})},
        {"tests/engine/", with(engine, {"tests/engine/", "tests/imaging/", "tests/support/"})},
        {"tests/dialogs/", with(dialogs, {"tests/dialogs/", "tests/imaging/", "tests/support/"})},
        {"tests/ui/", with(ui, {"tests/ui/", "tests/engine/", "tests/imaging/", "tests/support/"})},
        {"tests/wallpaper/", with(kBase, {"PlugIns/Wallpaper/", "tests/wallpaper/", "tests/support/"})},
        {"tests/shell/", with(kBase, {"tests/shell/", "tests/support/"})},
        {"tests/shellstub/", {"tests/shellstub/"}},
        {"tests/", {"Framework/", "Shared/", "Viewer/", "tests/"}},
        // A benchmark of the real program starts it as the end-to-end tests do.
        {"bench/keyrepeat/", {"Framework/", "Shared/", "Viewer/", "bench/", "tests/process/", "tests/support/"}},
        {"bench/", {"Framework/", "Shared/", "Viewer/", "bench/"}},
    };
}

// The folders that may include what, as the first rule that holds for the path; null: no rule.
const FolderRule* RuleFor(const std::vector<FolderRule>& rules, const std::string& path)
{
    for (const FolderRule& rule : rules)
        if (path.rfind(rule.folder, 0) == 0) return &rule;
    return nullptr;
}

// The include is allowed, or the text of the violation.
std::string Check(const std::vector<FolderRule>& rules, const std::string& file, const std::string& included)
{
    // A name without a folder is the file's own neighbour.
    if (included.find('/') == std::string::npos) return {};
    const FolderRule* rule = RuleFor(rules, file);
    if (!rule) return file + ": no layer rule for this folder";
    for (const std::string& prefix : rule->allowed)
        if (included.rfind(prefix, 0) == 0) return {};
    return file + " includes " + included + ", above its layer " + rule->folder;
}

struct Case {
    const char* file;
    const char* included;
    bool allowed;
};

TEST(IncludeDirection, TheRulesAllowDownwardAndRefuseUpwardIncludes)
{
    const Case cases[] = {
        {"Viewer/imaging/DecodePipeline.cpp", "Viewer/core/DecodeThreadContext.h", true},
        {"Viewer/imaging/DecodePipeline.cpp", "Viewer/ui/RenderDevice.h", false},
        {"Viewer/core/Run.cpp", "Viewer/ui/MainFrame.h", false},
        {"Viewer/core/startup/Run.cpp", "Viewer/ui/MainFrame.h", true},
        {"Viewer/engine/ImageList.cpp", "Viewer/imaging/ImageInfo.h", true},
        {"Viewer/engine/ImageList.cpp", "Viewer/dialogs/PrefixDialog.h", false},
        {"Viewer/dialogs/OptionsDialog.cpp", "Viewer/ui/MainFrame.h", false},
        {"Viewer/primitives/Fill.cpp", "Viewer/core/AppSettings.h", false},
        {"Framework/Window.cpp", "Shared/WakeUpProtocol.h", false},
        {"ShellIntegration/ContextMenu.cpp", "Shared/WakeUpProtocol.h", true},
        {"ShellIntegration/ContextMenu.cpp", "Viewer/core/SingleInstance.h", false},
        {"PlugIns/Wallpaper/Plugin.cpp", "Viewer/core/AppSettings.h", false},
        {"tests/imaging/DecodeFixture.cpp", "Viewer/ui/RenderDevice.h", false},
        {"tests/imaging/DecodeFixture.cpp", "tests/support/TestPaths.h", true},
        {"tests/core/SomeTest.cpp", "Viewer/imaging/WicFactory.h", false},
        {"Viewer/core/Trim.cpp", "Trim.h", true},
    };
    const std::vector<FolderRule> rules = Rules();
    for (const Case& c : cases)
        EXPECT_EQ(c.allowed, Check(rules, c.file, c.included).empty()) << c.file << " -> " << c.included;
}

TEST(IncludeDirection, NoSourceFileIncludesALayerAboveItsOwn)
{
    const fs::path root = fs::path(L"Z:" LUMENFOLD_SOURCE_DIR);
    ASSERT_TRUE(fs::is_directory(root / L"Viewer")) << root.string();
    const std::vector<FolderRule> rules = Rules();
    const std::regex includeLine(R"(^\s*#\s*include\s*"([^"]+)\")");
    int files = 0;
    std::vector<std::string> violations;
    for (const char* top : {"Framework", "Shared", "Viewer", "PlugIns", "ShellIntegration", "tests", "bench"}) {
        if (!fs::is_directory(root / top)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() ||
                (extension != ".h" && extension != ".cpp" && extension != ".rc" && extension != ".idl"))
                continue;
            ++files;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            std::smatch match;
            while (std::getline(in, line))
                if (std::regex_search(line, match, includeLine)) {
                    const std::string violation = Check(rules, file, match[1].str());
                    if (!violation.empty()) violations.push_back(violation);
                }
        }
    }
    EXPECT_GT(files, 100) << "the sources were found";
    for (const std::string& violation : violations) ADD_FAILURE() << violation;
}
}  // namespace
