// The reader of aapt's badging output. Input: the tool's output in UTF-8.
#include "tasks/apkparser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QString packageName;
    QString versionName;
    const bool parsed = VaruApkParser::parseBadging(output, &packageName, &versionName);
    if (parsed && packageName.isEmpty())
        abort(); // a parsed listing always names its package
    return 0;
}
