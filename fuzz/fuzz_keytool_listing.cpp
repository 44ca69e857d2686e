// The reader of keytool's key listing. Input: the tool's output in UTF-8.
#include "tools/aliasfetchtool.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QStringList aliases;
    const int code = VaruAliasFetchTool::parseListing(output, &aliases);
    if (code != VaruAliasFetchTool::NoError && !aliases.isEmpty())
        abort(); // a failed listing names no alias
    for (const QString &alias : aliases) {
        if (alias.isEmpty() || alias.contains(QLatin1Char('\n')))
            abort();
    }
    return 0;
}
