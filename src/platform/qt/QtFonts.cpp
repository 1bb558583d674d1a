// Font substitutions for the forms' faces.
#include "platform/qt/QtFonts.h"

#include <QFont>

namespace plat {

void InstallFontSubstitutes() {
    static const bool done = [] {
        QFont::insertSubstitution("Times New Roman", "Liberation Serif");
        QFont::insertSubstitution("Arial", "Liberation Sans");
        QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
        return true;
    }();
    (void)done;
}

} // namespace plat
