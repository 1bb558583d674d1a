// The storybook's command buttons' font and glyphs.
#include "ui/CommandGlyph.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

void StyleCommand(QPushButton& button, const char* name) {
    QFont font("Arial");
    font.setPixelSize(13);
    button.setFont(font);
    QIcon icon;
    const QPixmap both(QString(":/glyphs/%1.png").arg(name));
    if (!both.isNull()) {
        const int w = both.width() / 2;
        icon.addPixmap(both.copy(0, 0, w, both.height()), QIcon::Normal);
        icon.addPixmap(both.copy(w, 0, w, both.height()), QIcon::Disabled);
    }
    button.setIcon(icon);
    button.setIconSize(QSize(18, 18));
}
