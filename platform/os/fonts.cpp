#include "fonts.h"

#include <QFont>
#include <QStringList>

namespace VaruOs {

void installFontSubstitutes()
{
#ifndef _WIN32
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"),
        {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
#endif
}

} // namespace VaruOs
