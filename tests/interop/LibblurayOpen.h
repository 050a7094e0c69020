#pragma once
// Opening a disc folder with libbluray when the disc may have a BD-J title: libbluray then
// loads a Java VM to see whether it could run it, and the VM leaks from its own
// initialisers. A Java home that does not exist stops the search before any VM is loaded.
#include <libbluray/bluray.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace corvane::testing {

// `disc` is the folder that holds BDMV. None when libbluray cannot open it.
inline BLURAY* openDiscWithoutJava(const std::filesystem::path& disc) {
    const std::string noJava = (std::filesystem::temp_directory_path() / "corvane-no-java").string();
    ::setenv("JAVA_HOME", noJava.c_str(), 1);
    BLURAY* bd = bd_init();
    if (!bd) return nullptr;
    bd_set_player_setting_str(bd, BLURAY_PLAYER_JAVA_HOME, noJava.c_str());
    if (bd_open_disc(bd, disc.string().c_str(), nullptr) != 1) {
        bd_close(bd);
        return nullptr;
    }
    return bd;
}

} // namespace corvane::testing
