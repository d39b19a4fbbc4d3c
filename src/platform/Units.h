// Sizes in twips, colours as the designs write them, and fonts by their design
// values.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace platform {

// Twips (1440 per inch) to pixels at the screen's logical resolution, and back.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// A colour written &H00BBGGRR.
QColor ColorFromBgr(unsigned bgr);
// The 16-colour palette (0 black … 7 grey, 15 white).
QColor QBColor(int index);

struct FontSpec {
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    QFont ToQFont() const;
};

}  // namespace platform
