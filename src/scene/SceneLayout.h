// TSceneLayout: where the main window puts its scene and how large. The
// client area is at least the scene plus a margin on every side, and the
// scene stands centred in it. When the client area holds the scene, its
// margins, frame and credit line several times over, all of them are shown
// at the largest whole-number scale that fits; the scene's picture and its
// hit regions stay at the design size underneath. Each rule works on one
// axis at a time, except the scale, which both axes decide.
#pragma once

class TSceneLayout {
public:
    static constexpr int kMargin = 20;
    // The scene's design size: its work image, hit regions and focus ring.
    static constexpr int kSceneWidth = 550;
    static constexpr int kSceneHeight = 370;

    // The smallest client extent (width or height) that holds a scene
    // SceneExtent long with kMargin on both sides.
    static constexpr int MinClient(int sceneExtent) { return sceneExtent + 2 * kMargin; }

    // The largest whole number N (at least 1) for which a client of
    // ClientWidth x ClientHeight holds N times the smallest client of a scene
    // SceneWidth x SceneHeight.
    static constexpr int Scale(int clientWidth, int clientHeight, int sceneWidth, int sceneHeight) {
        const int across = clientWidth / MinClient(sceneWidth);
        const int down = clientHeight / MinClient(sceneHeight);
        const int n = across < down ? across : down;
        return n < 1 ? 1 : n;
    }

    // The whole-number step the game's windows show their controls at in a
    // client of ClientWidth x ClientHeight: the scene's scale there, so that
    // a window opened over the scene matches it.
    static constexpr int WindowScale(int clientWidth, int clientHeight) {
        return Scale(clientWidth, clientHeight, kSceneWidth, kSceneHeight);
    }

    // A paint-box co-ordinate shown at Scale back to the scene's: the scene
    // pixel whose block holds it (rounding down, also left of or above the
    // scene).
    static constexpr int ToScene(int shown, int scale) {
        return shown >= 0 ? shown / scale : -((-shown + scale - 1) / scale);
    }

    // The scene's left (or top) in a client ClientExtent long, for
    // ClientExtent >= SceneExtent: centred, and when the spare pixels are
    // odd the extra one goes right (or below).
    static constexpr int Centred(int clientExtent, int sceneExtent) {
        return (clientExtent - sceneExtent) / 2;
    }

    // The frame around the scene is this many pixels wide at scale 1.
    static constexpr int kFrameWidth = 2;
    // The credit line's text stands this many pixels below the scene at
    // scale 1.
    static constexpr int kCreditGap = 3;
    // The height of the strip under the scene, from its bottom edge, that a
    // change of the credit line repaints at Scale: the gap and the whole
    // text, for a font TextHeight pixels high (ascent and descent, at that
    // scale), with one row more for the smoothed edges of the descenders,
    // which reach past the descent.
    static constexpr int CreditStripHeight(int textHeight, int scale = 1) {
        return (kCreditGap + 1) * scale + textHeight;
    }
};
