// The compiled-manifest reader and the channel writer, with the meta-data key and the
// channel drawn from the input. Input: one byte of key length, two bytes (little-endian)
// of channel length, the key and the channel in UTF-8, then the manifest.
#include "tools/binaryxml.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray take(const uint8_t *&data, size_t &size, size_t length)
{
    length = std::min(length, size);
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(length));
    data += length;
    size -= length;
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const size_t keyLength = data[0];
    const size_t channelLength = data[1] | (size_t(data[2]) << 8);
    data += 3;
    size -= 3;
    const QString key = QString::fromUtf8(take(data, size, keyLength));
    const QString channel = QString::fromUtf8(take(data, size, channelLength));
    const QByteArray manifest = take(data, size, size);

    QStringList strings;
    bool utf8 = false;
    const bool readable = VaruBinaryXml::poolStrings(manifest, &strings, &utf8);
    const int found = VaruBinaryXml::findKey(manifest, key);
    if (readable != (found != VaruBinaryXml::Malformed))
        abort(); // the reader and the key search disagree on what is well formed
    if (found == VaruBinaryXml::Ok && !strings.contains(key))
        abort();

    QByteArray out;
    const int written = VaruBinaryXml::writeChannel(manifest, key, channel, &out);
    if (written != VaruBinaryXml::Ok)
        return 0;
    // What the writer makes must read back, still hold the key, and take a second channel.
    QStringList rewritten;
    bool rewrittenUtf8 = !utf8;
    if (!VaruBinaryXml::poolStrings(out, &rewritten, &rewrittenUtf8) || rewrittenUtf8 != utf8)
        abort();
    if (rewritten.mid(0, strings.size()) != strings)
        abort(); // the strings that were there keep their places
    if (VaruBinaryXml::findKey(out, key) != VaruBinaryXml::Ok)
        abort();
    QByteArray again;
    if (VaruBinaryXml::writeChannel(out, key, channel, &again) != VaruBinaryXml::Ok)
        abort();
    return 0;
}
