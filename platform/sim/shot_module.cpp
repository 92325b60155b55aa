#include "platform/sim/shot_module.h"

#ifdef MOGUMO_SHOT_MODULE
#include <dlfcn.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>
#endif

namespace mogumo {

#ifdef MOGUMO_SHOT_MODULE
namespace {

// Where the module may be: beside the program (in the build tree), or where
// it is installed, relative to the program.
std::vector<std::string> moduleCandidates() {
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    std::string dir = n > 0 ? exe.substr(0, static_cast<size_t>(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/') + 1);
    return {dir + MOGUMO_SHOT_MODULE, dir + MOGUMO_SHOT_MODULE_FROM_BIN "/" MOGUMO_SHOT_MODULE};
}

}  // namespace

script::ShotRenderer shotFromModule(int argc, char** argv, Language language) {
    struct Loaded {
        bool tried = false;
        std::unique_ptr<script::ShotRenderer> renderer;
        std::string problem;
    };
    auto loaded = std::make_shared<Loaded>();
    return [loaded, argc, argv, language](const Screen& screen, const std::string& path) -> std::string {
        if (!loaded->tried) {
            loaded->tried = true;
            // The module stays loaded: Qt does not take being unloaded well.
            for (const std::string& candidate : moduleCandidates()) {
                void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
                if (!handle) {
                    if (loaded->problem.empty())
                        loaded->problem = ::dlerror();
                    continue;
                }
                using Make = void* (*)(int, char**, int);
                auto make = reinterpret_cast<Make>(::dlsym(handle, "mogumo_make_shot_renderer"));
                if (make) {
                    loaded->renderer.reset(
                        static_cast<script::ShotRenderer*>(make(argc, argv, static_cast<int>(language))));
                    break;
                }
            }
        }
        if (!loaded->renderer)
            return "shot cannot load its painter (" + loaded->problem + ")";
        return (*loaded->renderer)(screen, path);
    };
}

#else

script::ShotRenderer shotFromModule(int, char**, Language) {
    return {};
}

#endif

}  // namespace mogumo
