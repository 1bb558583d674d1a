// Rendering, cutting and composing of the scene pictures.
#include "SceneBuilder.h"

#include <QImage>
#include <QString>
#include <map>
#include <stdexcept>
#include <string>

#include "ImageMapper.h"
#include "SceneLayout.h"
#include "SvgSource.h"

namespace {

using Display = std::map<QString, bool>;

QString RestId(int anim) {
    return QStringLiteral("a%1-rest").arg(anim);
}
QString ActiveId(int anim) {
    return QStringLiteral("a%1-active").arg(anim);
}

// The visibility of the clean scene: every rest pose, the sound switched on.
Display RestDisplay() {
    Display d;
    for (int i = 1; i <= 19; ++i) {
        d[RestId(i)] = true;
        d[ActiveId(i)] = false;
    }
    d[QStringLiteral("snd-on")] = true;
    d[QStringLiteral("snd-off")] = false;
    d[QStringLiteral("snd-hover")] = false;
    return d;
}

// A pose must change nothing outside its animation's frame: the game shows
// frame 1 only inside it, so a change beyond it would be cut off at the edge.
void CheckPoseInside(const QImage& rest, const QImage& active, int anim,
                     const TSceneLayout::TAnimPlace& a) {
    int outside = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < rest.height(); ++y)
        for (int x = 0; x < rest.width(); ++x) {
            const bool inside =
                x >= a.sceneX && x < a.sceneX + a.width && y >= a.sceneY && y < a.sceneY + a.height;
            if (!inside && rest.pixel(x, y) != active.pixel(x, y)) {
                if (outside++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    if (outside)
        throw std::runtime_error("animation " + std::to_string(anim) +
                                 ": the active pose changes " + std::to_string(outside) +
                                 " pixels outside its frame (first at " + std::to_string(firstX) +
                                 "," + std::to_string(firstY) + ")");
}

} // namespace

TSceneBuilder::TPictures TSceneBuilder::Build(const std::string& sceneSvg,
                                              const std::string& balloonSvg,
                                              const TArtPalette& pal) {
    using L = TSceneLayout;
    const TSvgSource scene(sceneSvg);
    auto render = [&](const Display& d) { return scene.Render(L::SceneWidth, L::SceneHeight, d); };
    // The scene is opaque and dithered: the sky and the hills have gradients.
    auto map = [&](const QImage& img) { return TImageMapper::Map(img, pal, false, true); };

    TPictures out;
    const QImage rest = render(RestDisplay());
    out.main = map(rest);
    // Gaps between frames are never shown; white keeps the sheet opaque.
    out.animsrc = TIndexedImage(L::FramesWidth, L::FramesHeight, 255);

    for (int i = 1; i <= 20; ++i) {
        const auto& a = L::Anims[i - 1];
        out.animsrc.Paste(out.main.Cut(a.sceneX, a.sceneY, a.width, a.height), a.frame0X,
                          a.frame0Y);
        Display d = RestDisplay();
        if (i < 20) {
            d[RestId(i)] = false;
            d[ActiveId(i)] = true;
        } else {
            d[QStringLiteral("snd-on")] = false;
            d[QStringLiteral("snd-hover")] = true;
        }
        const QImage active = render(d);
        CheckPoseInside(rest, active, i, a);
        out.animsrc.Paste(map(active).Cut(a.sceneX, a.sceneY, a.width, a.height), a.frame1X,
                          a.frame1Y);
        if (i == 20) {
            d[QStringLiteral("snd-hover")] = false;
            d[QStringLiteral("snd-off")] = true;
            const QImage off = render(d);
            CheckPoseInside(rest, off, i, a);
            out.animsrc.Paste(map(off).Cut(a.sceneX, a.sceneY, a.width, a.height), L::SoundOffX,
                              L::SoundOffY);
        }
    }

    const TSvgSource balloons(balloonSvg);
    out.speech = TIndexedImage(L::SpeechWidth, L::SpeechHeight, TArtPalette::KeyIndex);
    out.speech.transparent = true;
    out.speech.key = TArtPalette::KeyIndex;
    Display none;
    for (const auto& b : L::Balloons)
        none[QStringLiteral("b%1").arg(b.region)] = false;
    for (const auto& b : L::Balloons) {
        Display d = none;
        d[QStringLiteral("b%1").arg(b.region)] = true;
        // Balloon edges and text: nearest colour keeps the lettering crisp.
        const TIndexedImage pic =
            TImageMapper::Map(balloons.Render(L::SceneWidth, L::SceneHeight, d), pal, true, false);
        out.speech.Paste(pic.Cut(b.sceneX, b.sceneY, b.width, b.height), b.srcX, b.srcY);
    }
    return out;
}
