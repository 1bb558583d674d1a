// TSceneLayout: where the main window puts its scene. The scene is never
// scaled: the client area is at least the scene plus a margin on every side,
// and the scene stands centred in it. Each rule works on one axis at a time.
#pragma once

class TSceneLayout {
public:
    static constexpr int kMargin = 20;

    // The smallest client extent (width or height) that holds a scene
    // SceneExtent long with kMargin on both sides.
    static constexpr int MinClient(int sceneExtent) { return sceneExtent + 2 * kMargin; }

    // The scene's left (or top) in a client ClientExtent long, for
    // ClientExtent >= SceneExtent: centred, and when the spare pixels are
    // odd the extra one goes right (or below).
    static constexpr int Centred(int clientExtent, int sceneExtent) {
        return (clientExtent - sceneExtent) / 2;
    }

    // The credit line's text stands this many pixels below the scene.
    static constexpr int kCreditGap = 3;
    // The height of the strip under the scene, from its bottom edge, that a
    // change of the credit line repaints: the gap and the whole text, for a
    // font TextHeight pixels high (ascent and descent), with one row more for
    // the smoothed edges of the descenders, which reach past the descent.
    static constexpr int CreditStripHeight(int textHeight) { return kCreditGap + textHeight + 1; }
};
