// The fixed geometry of the main window's scene pictures: where each of the
// twenty animations sits in "main" and where its two frames lie in "animsrc",
// and where the eleven speech balloons lie in "speech" and in the scene.
// All rectangles are in pixels, half-open (x, y, width, height).
#pragma once
#include <array>

struct TSceneLayout {
    struct TAnimPlace {
        int width, height;
        int sceneX, sceneY;   // top-left in "main"
        int frame0X, frame0Y; // frame 0 (rest) in "animsrc"
        int frame1X, frame1Y; // frame 1 (active) in "animsrc"
    };
    struct TBalloonPlace {
        int region;                    // 1..11
        int srcX, srcY, width, height; // in "speech"
        int sceneX, sceneY;            // top-left in the scene
    };

    static constexpr int SceneWidth = 550, SceneHeight = 370;
    static constexpr int FramesWidth = 342, FramesHeight = 189;
    static constexpr int SpeechWidth = 348, SpeechHeight = 432;

    // Animations 1..20 (index 0 is animation 1). Animation 20 is the sound
    // indicator: its frame 0 here is the "sound on" picture.
    static constexpr std::array<TAnimPlace, 20> Anims{{
        {31, 28, 24, 1, 0, 0, 31, 0},          {18, 21, 33, 34, 82, 0, 100, 0},
        {10, 13, 124, 201, 62, 0, 72, 0},      {51, 68, 158, 207, 0, 28, 51, 28},
        {25, 34, 466, 24, 102, 28, 102, 62},   {19, 22, 462, 62, 118, 0, 137, 0},
        {52, 68, 10, 216, 127, 28, 179, 28},   {22, 27, 36, 124, 156, 0, 178, 0},
        {24, 18, 294, 330, 200, 0, 224, 0},    {20, 25, 195, 24, 248, 0, 268, 0},
        {37, 46, 487, 142, 0, 96, 37, 96},     {38, 53, 447, 247, 266, 28, 304, 28},
        {36, 37, 175, 161, 74, 96, 110, 96},   {24, 42, 86, 260, 146, 96, 170, 96},
        {25, 25, 86, 308, 288, 0, 313, 0},     {48, 42, 324, 229, 194, 96, 242, 96},
        {35, 33, 302, 276, 231, 28, 231, 61},  {78, 47, 469, 300, 0, 142, 78, 142},
        {43, 25, 11, 305, 156, 142, 199, 142}, {41, 26, 508, 2, 290, 133, 290, 107},
    }};
    // The sound indicator's "sound off" picture in "animsrc".
    static constexpr int SoundOffX = 290, SoundOffY = 81;

    static constexpr std::array<TBalloonPlace, 11> Balloons{{
        {1, 174, 0, 120, 42, 55, 11},
        {2, 0, 72, 174, 72, 211, 162},
        {3, 174, 72, 124, 71, 337, 6},
        {4, 0, 144, 155, 72, 85, 78},
        {5, 174, 144, 138, 71, 154, 267},
        {6, 0, 216, 107, 41, 91, 5},
        {7, 174, 216, 166, 41, 325, 124},
        {8, 0, 288, 174, 41, 291, 205},
        {9, 174, 288, 173, 71, 7, 125},
        {10, 0, 360, 153, 72, 111, 224},
        {11, 0, 0, 173, 71, 157, 193},
    }};
};
