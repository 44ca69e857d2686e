#include "binaryxml.h"

#include <QtEndian>

namespace {

constexpr quint16 kStringPoolType = 0x0001;
constexpr quint16 kResourceMapType = 0x0180;
constexpr quint16 kStartElementType = 0x0102;
constexpr quint32 kNoIndex = 0xFFFFFFFF;
constexpr quint16 kTypeString = 0x0300;
constexpr quint16 kTypeIntDec = 0x1000;
constexpr quint32 kUtf8Flag = 0x100;
constexpr qint64 kPoolHeaderMin = 28;
constexpr qint64 kAttributeSize = 20;
constexpr qint64 kAttributesAt = 36;

// Bounds-checked little-endian access to a byte array.
class Bytes
{
public:
    explicit Bytes(const QByteArray &data)
        : mData(reinterpret_cast<const uchar *>(data.constData())), mSize(data.size())
    { }
    qint64 size() const { return mSize; }
    bool has(qint64 at, qint64 length) const
    {
        return at >= 0 && length >= 0 && at <= mSize && length <= mSize - at;
    }
    quint16 u16(qint64 at) const { return has(at, 2) ? qFromLittleEndian<quint16>(mData + at) : 0; }
    quint32 u32(qint64 at) const { return has(at, 4) ? qFromLittleEndian<quint32>(mData + at) : 0; }
    const uchar *at(qint64 offset) const { return mData + offset; }

private:
    const uchar *mData;
    qint64 mSize;
};

void putU16(QByteArray &data, qint64 at, quint16 value)
{
    qToLittleEndian<quint16>(value, reinterpret_cast<uchar *>(data.data()) + at);
}

void putU32(QByteArray &data, qint64 at, quint32 value)
{
    qToLittleEndian<quint32>(value, reinterpret_cast<uchar *>(data.data()) + at);
}

struct Pool {
    qint64 start = 0; // the chunk's position in the file
    qint64 headerSize = 0; // P
    qint64 chunkSize = 0;
    qint64 count = 0;
    qint64 styleCount = 0;
    qint64 stringsStart = 0; // relative to the chunk
    qint64 stylesStart = 0;
    bool utf8 = false;

    qint64 end() const { return start + chunkSize; }
    qint64 stringsEnd() const { return stylesStart > 0 ? start + stylesStart : end(); }
};

bool readPool(const Bytes &bytes, Pool *pool)
{
    if (!bytes.has(0, 8))
        return false;
    const qint64 headerSize = bytes.u16(2);
    if (headerSize < 8 || !bytes.has(headerSize, kPoolHeaderMin))
        return false;
    pool->start = headerSize;
    if (bytes.u16(headerSize) != kStringPoolType)
        return false;
    pool->headerSize = bytes.u16(headerSize + 2);
    pool->chunkSize = bytes.u32(headerSize + 4);
    pool->count = bytes.u32(headerSize + 8);
    pool->styleCount = bytes.u32(headerSize + 12);
    pool->utf8 = (bytes.u32(headerSize + 16) & kUtf8Flag) != 0;
    pool->stringsStart = bytes.u32(headerSize + 20);
    pool->stylesStart = bytes.u32(headerSize + 24);
    if (pool->headerSize < kPoolHeaderMin || pool->chunkSize < pool->headerSize
        || !bytes.has(pool->start, pool->chunkSize))
        return false;
    // The offset arrays must fit the chunk; counts are 32-bit, so this cannot overflow.
    const qint64 arrays = pool->headerSize + 4 * (pool->count + pool->styleCount);
    if (arrays > pool->chunkSize)
        return false;
    if (pool->count > 0 && (pool->stringsStart < arrays || pool->stringsStart > pool->chunkSize))
        return false;
    if (pool->stylesStart != 0
        && (pool->stylesStart < pool->stringsStart || pool->stylesStart > pool->chunkSize))
        return false;
    return true;
}

// A length of one or two units: UTF-16 pools use 16-bit units with 0x8000 as the flag of a
// second unit; UTF-8 pools bytes with 0x80.
bool readLength(const Bytes &bytes, qint64 *at, qint64 limit, bool utf8, qint64 *length)
{
    const qint64 unit = utf8 ? 1 : 2;
    if (*at + unit > limit)
        return false;
    qint64 first = utf8 ? bytes.at(*at)[0] : bytes.u16(*at);
    *at += unit;
    const qint64 flag = utf8 ? 0x80 : 0x8000;
    if (first & flag) {
        if (*at + unit > limit)
            return false;
        const qint64 second = utf8 ? bytes.at(*at)[0] : bytes.u16(*at);
        *at += unit;
        first = ((first & (flag - 1)) << (utf8 ? 8 : 16)) | second;
    }
    *length = first;
    return true;
}

bool readString(const Bytes &bytes, const Pool &pool, qint64 index, QString *text)
{
    if (index < 0 || index >= pool.count)
        return false;
    const qint64 offset = bytes.u32(pool.start + pool.headerSize + 4 * index);
    const qint64 limit = pool.stringsEnd();
    qint64 at = pool.start + pool.stringsStart + offset;
    if (offset >= pool.chunkSize || at >= limit)
        return false;
    qint64 length = 0;
    if (pool.utf8) {
        qint64 utf16Length = 0;
        if (!readLength(bytes, &at, limit, true, &utf16Length)
            || !readLength(bytes, &at, limit, true, &length))
            return false;
        if (length > limit - at)
            return false;
        *text = QString::fromUtf8(
            reinterpret_cast<const char *>(bytes.at(at)), static_cast<int>(length));
        return true;
    }
    if (!readLength(bytes, &at, limit, false, &length) || length > (limit - at) / 2)
        return false;
    text->resize(static_cast<int>(length));
    for (qint64 i = 0; i < length; ++i)
        (*text)[static_cast<int>(i)] = QChar(bytes.u16(at + 2 * i));
    return true;
}

bool allStrings(const Bytes &bytes, const Pool &pool, QStringList *strings)
{
    strings->clear();
    for (qint64 i = 0; i < pool.count; ++i) {
        QString text;
        if (!readString(bytes, pool, i, &text))
            return false;
        strings->append(text);
    }
    return true;
}

bool isDecimal(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !text.isEmpty();
}

void appendLength(QByteArray &out, qint64 length, bool utf8)
{
    if (utf8) {
        if (length > 0x7F)
            out.append(char(0x80 | ((length >> 8) & 0x7F)));
        out.append(char(length & 0xFF));
        return;
    }
    if (length > 0x7FFF) {
        const quint16 high = quint16(0x8000 | ((length >> 16) & 0x7FFF));
        out.append(char(high & 0xFF)).append(char(high >> 8));
    }
    out.append(char(length & 0xFF)).append(char((length >> 8) & 0xFF));
}

} // namespace

QByteArray VaruBinaryXml::encodeString(const QString &text, bool utf8)
{
    QByteArray entry;
    if (utf8) {
        const QByteArray bytes = text.toUtf8();
        appendLength(entry, text.size(), true);
        appendLength(entry, bytes.size(), true);
        entry.append(bytes).append('\0');
    } else {
        appendLength(entry, text.size(), false);
        for (const QChar c : text)
            entry.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        entry.append('\0').append('\0');
    }
    while (entry.size() % 4 != 0)
        entry.append('\0');
    return entry;
}

bool VaruBinaryXml::poolStrings(const QByteArray &manifest, QStringList *strings, bool *utf8)
{
    const Bytes bytes(manifest);
    Pool pool;
    if (!readPool(bytes, &pool) || !allStrings(bytes, pool, strings))
        return false;
    if (utf8)
        *utf8 = pool.utf8;
    return true;
}

int VaruBinaryXml::findKey(const QByteArray &manifest, const QString &key)
{
    QStringList strings;
    if (!poolStrings(manifest, &strings))
        return Malformed;
    return strings.contains(key) ? Ok : KeyMissing;
}

int VaruBinaryXml::writeChannel(
    const QByteArray &manifest, const QString &key, const QString &channel, QByteArray *out)
{
    Pool pool;
    QStringList strings;
    if (!readPool(Bytes(manifest), &pool) || !allStrings(Bytes(manifest), pool, &strings))
        return Malformed;
    const int keyIndex = strings.indexOf(key);
    if (keyIndex < 0)
        return KeyMissing;
    // Appending a string moves everything after the offset array; a pool with styles, or
    // with a gap before its string data, would need more than that.
    if (pool.styleCount != 0 || pool.stylesStart != 0
        || pool.stringsStart != pool.headerSize + 4 * pool.count)
        return Malformed;

    QByteArray data = manifest;
    data.detach(); // written in place below while Bytes reads it
    const bool integer = isDecimal(channel);
    quint32 valueData = 0;
    if (integer) {
        bool fits = false;
        valueData = static_cast<quint32>(channel.toInt(&fits, 10));
        if (!fits)
            valueData = 0;
    } else {
        if (pool.utf8 && (channel.size() > 0x7FFF || channel.toUtf8().size() > 0x7FFF))
            return TextTooLong;
        const QByteArray entry = encodeString(channel, pool.utf8);
        const qint64 oldStrings = pool.start + pool.stringsStart;
        const quint32 newOffset = static_cast<quint32>(pool.end() - oldStrings);
        data.insert(static_cast<int>(pool.end()), entry);
        QByteArray offset(4, '\0');
        putU32(offset, 0, newOffset);
        data.insert(static_cast<int>(oldStrings), offset);
        const qint64 growth = entry.size() + 4;
        putU32(data, pool.start + 20, static_cast<quint32>(pool.stringsStart + 4));
        putU32(data, pool.start + 8, static_cast<quint32>(pool.count + 1));
        putU32(data, pool.start + 4, static_cast<quint32>(pool.chunkSize + growth));
        putU32(data, 4, Bytes(data).u32(4) + static_cast<quint32>(growth));
        valueData = static_cast<quint32>(pool.count); // the new string's index
        pool.chunkSize += growth;
        pool.stringsStart += 4;
        pool.count += 1;
        strings.append(channel);
    }

    // The first index of each name the walk compares with.
    const quint32 metaData = static_cast<quint32>(strings.indexOf(QStringLiteral("meta-data")));
    const quint32 name = static_cast<quint32>(strings.indexOf(QStringLiteral("name")));
    const quint32 value = static_cast<quint32>(strings.indexOf(QStringLiteral("value")));
    const quint32 keyString = static_cast<quint32>(keyIndex);

    const Bytes bytes(data);
    qint64 at = pool.end();
    if (bytes.has(at, 8) && bytes.u16(at) == kResourceMapType) {
        const qint64 size = bytes.u32(at + 4);
        if (size < 8 || !bytes.has(at, size))
            return Malformed;
        at += size;
    }
    if (bytes.has(at, 8)) { // the first node: the namespace start
        const qint64 size = bytes.u32(at + 4);
        if (size < 8 || !bytes.has(at, size))
            return Malformed;
        at += size;
    }
    while (bytes.has(at, 8)) {
        const qint64 size = bytes.u32(at + 4);
        if (size == 0)
            break;
        if (size < 8 || !bytes.has(at, size))
            return Malformed;
        if (bytes.u16(at) == kStartElementType && size >= kAttributesAt
            && bytes.u32(at + 16) == kNoIndex && bytes.u32(at + 20) == metaData) {
            const qint64 count = bytes.u16(at + 28);
            if (kAttributesAt + count * kAttributeSize > size)
                return Malformed;
            bool named = false;
            for (qint64 i = 0; i < count; ++i) {
                const qint64 attr = at + kAttributesAt + i * kAttributeSize;
                const bool hasNamespace = bytes.u32(attr) != kNoIndex;
                if (hasNamespace && bytes.u32(attr + 4) == name && bytes.u32(attr + 16) == keyString
                    && bytes.u16(attr + 14) == kTypeString) {
                    named = true;
                } else if (named && hasNamespace && bytes.u32(attr + 4) == value) {
                    putU32(data, attr + 8, integer ? kNoIndex : valueData);
                    putU16(data, attr + 14, integer ? kTypeIntDec : kTypeString);
                    putU32(data, attr + 16, valueData);
                }
            }
        }
        at += size;
    }
    *out = data;
    return Ok;
}
