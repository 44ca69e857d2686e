#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads and rewrites Android's compiled XML (the binary AndroidManifest.xml): finds a
// string in the string pool and gives every <meta-data> element named by a key a new
// android:value. Every offset and size read from the input is checked; a manifest that
// is malformed, or whose pool carries styles that would need adjusting, is refused.
class VaruBinaryXml
{
public:
    // TextTooLong: more than a UTF-8 pool's 32767 characters or bytes.
    enum Result { Ok = 0, Malformed = -1, TextTooLong = -5, KeyMissing = -7 };

    // The strings of the manifest's pool; false when the manifest is malformed.
    static bool poolStrings(const QByteArray &manifest, QStringList *strings, bool *utf8 = nullptr);
    // Ok when the key is a string of the pool, KeyMissing when not, Malformed otherwise.
    static int findKey(const QByteArray &manifest, const QString &key);
    // The manifest with the channel as the value of each <meta-data> named key: a channel
    // of decimal digits as an integer, anything else as a string appended to the pool.
    static int writeChannel(
        const QByteArray &manifest, const QString &key, const QString &channel, QByteArray *out);
    // A pool entry for text: the length (one or two units), the text and its terminator,
    // padded to four bytes.
    static QByteArray encodeString(const QString &text, bool utf8);
};
