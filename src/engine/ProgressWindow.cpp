#include "engine/ProgressWindow.h"

#include <QChar>

#include "lang/Testi.h"

namespace engine {

QString WipingCaption(const QString& Nome, int percent, int pass) {
    QString caption = QStringLiteral("Wiping: ") + Nome + QChar(13) + QString::number(percent) +
                      QStringLiteral("%");
    if (pass > 0)
        caption += QStringLiteral(" (") + lang::Testi[69] + QStringLiteral(" ") +
                   QString::number(pass) + QStringLiteral(")");
    return caption;
}

}  // namespace engine
