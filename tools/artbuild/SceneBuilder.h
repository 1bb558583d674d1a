// Builds the three scene pictures "main", "animsrc" and "speech" from the
// scene drawing and the balloon drawing.
//
// The scene drawing (550 x 370) holds, for animation i = 1..19, a group
// "a<i>-rest" (shown) and a group "a<i>-active" (hidden), and for the sound
// indicator the groups "snd-on" (shown), "snd-off" and "snd-hover" (hidden).
// The balloon drawing (same size, transparent background) holds the hidden
// groups "b1".."b11", each drawn at its place in the scene.
//
// "main" is the scene with every rest pose; frame 0 of each animation is cut
// from it, frame 1 from the scene rendered with only that animation's active
// pose swapped in, so both frames carry the scene behind the character and
// frame 0 equals "main" pixel for pixel.
#pragma once
#include <string>

#include "ArtPalette.h"
#include "IndexedImage.h"

class TSceneBuilder {
public:
    struct TPictures {
        TIndexedImage main, animsrc, speech;
    };
    // Raises std::runtime_error naming the file on any failure.
    static TPictures Build(const std::string& sceneSvg, const std::string& balloonSvg,
                           const TArtPalette& pal);
};
