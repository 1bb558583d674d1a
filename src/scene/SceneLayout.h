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
};
