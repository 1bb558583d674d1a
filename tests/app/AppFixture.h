// Folders for the window tests: a fresh installation folder with the default
// words, a key store naming it, and the build's program folder; a fake tick
// that moves on by a step at every reading, and a fixed seed.
#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>

#include "base/Random.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/PrivateProfile.h"
#include "platform/Tick.h"
#include "support/TestSupport.h"

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string words;
        ASSERT_TRUE(plat::ReadWholeFile(fbwtest::YarnsDir() + "/words.dat", words));
        ASSERT_TRUE(plat::WriteFileAtomic(install.Path() + "words.dat", words));
        plat::KeyStore keys(config / "registry.ini");
        keys.OpenKey(kRegYarnsKey, true);
        keys.WriteString(kRegYarnsKey, "Directory", install.Path());
        StartupFailed = false;
        LocateFolders(fbwtest::YarnsDir() + "/fablewhirl", keys);
        ASSERT_FALSE(StartupFailed);
        SetRandSeed(4242);
        QCoreApplication::setApplicationName("Fablewhirl"); // the start-up's title
        plat::SetTickSource([this] { return tick += step; });
    }
    void TearDown() override {
        plat::SetTickSource({});
        StartupFailed = false;
    }
    std::string Setting(const std::string& section, const std::string& key) {
        return plat::GetProfileString(section, key, "<none>", SettingsFileName);
    }

    fbwtest::TempDir install, config;
    uint32_t tick = 100000;
    uint32_t step = 1;
};
