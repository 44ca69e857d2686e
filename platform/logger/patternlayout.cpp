#include "patternlayout.h"

namespace Log4Qt {

PatternLayout::PatternLayout(const QString &conversionPattern) : mPattern(conversionPattern)
{
    parse();
}

QString PatternLayout::endOfLine()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

void PatternLayout::parse()
{
    QString literal;
    const int n = mPattern.size();
    int i = 0;
    auto flushLiteral = [&]() {
        if (!literal.isEmpty()) {
            Part part;
            part.text = literal;
            mParts.append(part);
            literal.clear();
        }
    };
    while (i < n) {
        const QChar c = mPattern.at(i);
        if (c != QLatin1Char('%') || i + 1 >= n) {
            literal.append(c);
            ++i;
            continue;
        }
        ++i;
        if (mPattern.at(i) == QLatin1Char('%')) {
            literal.append(QLatin1Char('%'));
            ++i;
            continue;
        }
        Part part;
        if (mPattern.at(i) == QLatin1Char('-')) {
            part.leftAlign = true;
            ++i;
        }
        int width = 0;
        while (i < n && mPattern.at(i).isDigit())
            width = width * 10 + mPattern.at(i++).digitValue();
        part.minWidth = width;
        if (i < n && mPattern.at(i) == QLatin1Char('.')) {
            ++i;
            int max = 0;
            while (i < n && mPattern.at(i).isDigit())
                max = max * 10 + mPattern.at(i++).digitValue();
            part.maxWidth = max;
        }
        if (i >= n)
            break;
        part.kind = mPattern.at(i).toLatin1();
        ++i;
        if (i < n && mPattern.at(i) == QLatin1Char('{')) {
            const int close = mPattern.indexOf(QLatin1Char('}'), i);
            if (close > i) {
                part.text = mPattern.mid(i + 1, close - i - 1);
                i = close + 1;
            }
        }
        flushLiteral();
        mParts.append(part);
    }
    flushLiteral();
}

QString PatternLayout::convert(const Part &part, const LoggingEvent &event) const
{
    switch (part.kind) {
    case 'd': {
        QString format = part.text;
        if (format.isEmpty() || format == QLatin1String("ISO8601"))
            format = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
        else if (format == QLatin1String("ABSOLUTE"))
            format = QStringLiteral("hh:mm:ss.zzz");
        else if (format == QLatin1String("DATE"))
            format = QStringLiteral("dd MMM yyyy hh:mm:ss.zzz");
        return event.timeStamp.toString(format);
    }
    case 'p':
        return event.level.toString();
    case 'c':
        return event.loggerName;
    case 'm':
        return event.message;
    case 'n':
        return endOfLine();
    case 't':
        return event.threadName;
    case 'r':
        return QString::number(event.msecsSinceStart);
    default:
        // An unknown conversion character stands for itself.
        return QStringLiteral("%") + QLatin1Char(part.kind);
    }
}

QString PatternLayout::format(const LoggingEvent &event) const
{
    QString out;
    for (const Part &part : mParts) {
        if (part.kind == 0) {
            out += part.text;
            continue;
        }
        QString value = convert(part, event);
        if (part.maxWidth >= 0 && value.size() > part.maxWidth)
            value = value.right(part.maxWidth); // log4j keeps the end of a truncated value
        if (value.size() < part.minWidth) {
            value = part.leftAlign ? value.leftJustified(part.minWidth)
                                   : value.rightJustified(part.minWidth);
        }
        out += value;
    }
    return out;
}

} // namespace Log4Qt
