#include "fonts.h"

#include <QFont>
#include <QStringList>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace VaruOs {

void installFontSubstitutes()
{
#ifndef _WIN32
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"),
        {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
#endif
}

void prepareWebEngine()
{
#ifndef _WIN32
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

} // namespace VaruOs
