#pragma once

#include "loggingevent.h"

#include <QString>
#include <QVector>

namespace Log4Qt {

// Formats an event by a log4j conversion pattern: %d (optionally %d{format}, %d{ISO8601},
// %d{ABSOLUTE}, %d{DATE}), %p, %c, %m, %n, %t, %r and %%, each with optional
// -min.max width modifiers.
class VARULOGGER_EXPORT PatternLayout
{
public:
    explicit PatternLayout(const QString &conversionPattern = QStringLiteral("%m%n"));

    QString conversionPattern() const { return mPattern; }
    QString format(const LoggingEvent &event) const;
    static QString endOfLine();

private:
    struct Part {
        char kind = 0; // 0 for literal text
        QString text; // literal text, or the option in braces
        int minWidth = 0;
        int maxWidth = -1;
        bool leftAlign = false;
    };

    void parse();
    QString convert(const Part &part, const LoggingEvent &event) const;

    QString mPattern;
    QVector<Part> mParts;
};

} // namespace Log4Qt
