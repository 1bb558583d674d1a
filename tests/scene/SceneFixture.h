// The living scene over the game's own pictures, with a fixed seed, a start
// tick and the sounds it asks for collected; what the work image must hold.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "scene/Scene.h"
#include "support/TestSupport.h"

class SceneTest : public ::testing::Test {
protected:
    static constexpr uint32_t kStart = 1000000;

    void SetUp() override {
        SetRandSeed(12345);
        lib.Open(fbwtest::YarnsDir() + "/yarns.rl8");
        mainNode = lib.GetImage("main");
        s.scene = lib.GetImageData(mainNode);
        s.frames = lib.GetImageData(lib.GetImage("animsrc"));
        s.balloons = lib.GetImageData(lib.GetImage("speech"));
        s.work = lib.GetImageData(lib.CreateImage("_WORK_", s.scene->Width, s.scene->Height));
        s.work->Draw(TPoint{0, 0}, *s.scene, s.scene->GetBounds());
        s.palette = lib.GetHPal();
        scene = std::make_unique<TScene>(s);
        scene->PlaySound = [this](uint8_t n) { sounds.push_back(n); };
        scene->CreateAnims(true, kStart);
        scene->DrawAllAnims();
        scene->CreateHitRegions();
    }

    // What the work image must hold: the clean scene with every animation
    // drawn in its current frame.
    std::vector<uint8_t> Expected() {
        TRL8ImageData* e = lib.GetImageData(
            lib.CreateImage("_EXP" + std::to_string(++expCount), s.scene->Width, s.scene->Height));
        e->Draw(TPoint{0, 0}, *s.scene, s.scene->GetBounds());
        for (int i = 1; i <= TScene::kAnimCount; ++i) {
            TAnim copy = scene->Anim(i);
            copy.Draw(*s.frames, *e);
        }
        return e->CopyPixels();
    }

    std::vector<int> States() {
        std::vector<int> v;
        for (int i = 1; i <= TScene::kAnimCount; ++i)
            v.push_back(scene->Anim(i).State);
        return v;
    }

    TRL8Library lib;
    TImageNode* mainNode = nullptr;
    TScene::Surfaces s;
    std::unique_ptr<TScene> scene;
    std::vector<uint8_t> sounds;
    int expCount = 0;
};
