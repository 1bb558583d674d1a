// fbwtool setup-user: the player's folder, the default words and the key
// store, idempotent and never overwriting what the player has.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "support/TestSupport.h"

namespace {
// Points XDG_DATA_HOME and XDG_CONFIG_HOME at fresh folders while it lives.
class UserFolders {
public:
    UserFolders() {
        saveConfig_ = std::getenv("XDG_CONFIG_HOME");
        setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    }
    ~UserFolders() {
        unsetenv("XDG_DATA_HOME");
        setenv("XDG_CONFIG_HOME", saveConfig_.c_str(), 1);
    }
    std::string Directory() {
        plat::KeyStore keys;
        std::string value;
        keys.ReadString(kRegYarnsKey, "Directory", value);
        return value;
    }
    fbwtest::TempDir data, config;

private:
    std::string saveConfig_;
};
} // namespace

TEST(FbwtoolSetupUser, MakesTheFolderCopiesTheWordsAndNamesIt) {
    UserFolders user;
    const std::string folder = user.data.Path() + "Lumwright Software/Yarns";
    auto r = fbwtest::RunTool({"setup-user"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(user.Directory(), folder);
    EXPECT_EQ(fbwtest::ReadBytes(folder + "/words.dat"),
              fbwtest::ReadBytes(fbwtest::YarnsDir() + "/words.dat"));

    // Again: the player's words and the named folder stay as they are.
    fbwtest::WriteBytes(folder + "/words.dat", "the player's words");
    r = fbwtest::RunTool({"setup-user", "--folder", user.data / "elsewhere"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fbwtest::ReadBytes(folder + "/words.dat"), "the player's words");
    EXPECT_EQ(user.Directory(), folder);
    EXPECT_TRUE(plat::FileExists(user.data / "elsewhere/words.dat"));

    // A "Directory" naming a folder that has gone is replaced.
    plat::KeyStore keys;
    keys.WriteString(kRegYarnsKey, "Directory", user.data / "gone");
    r = fbwtest::RunTool({"setup-user", "--folder", user.data / "elsewhere"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(user.Directory(), user.data / "elsewhere");
}

TEST(FbwtoolSetupUser, FolderThatCannotBeMade) {
    UserFolders user;
    fbwtest::WriteBytes(user.data / "file", "x");
    auto r = fbwtest::RunTool({"setup-user", "--folder", user.data / "file/sub"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot create the folder"), std::string::npos) << r.err;
    EXPECT_EQ(user.Directory(), "");
}
